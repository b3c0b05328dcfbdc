// The executable's embedded data: the player library's file image, the six
// texture images back to back, and the XM module, in this order.
#pragma once

#include <cstddef>

extern "C" {
extern const unsigned char soundLibraryImage[];
extern const unsigned char textureImages[];
extern const unsigned char musicModule[];
extern const unsigned char musicModuleEnd[];
}

// Extent of the library image: from its first byte to the first texture byte.
inline size_t SoundLibraryImageSize() {
    return static_cast<size_t>(textureImages - soundLibraryImage);
}
constexpr size_t TEXTURE_BLOCK_SIZE = 581632;

// Offsets and sizes of the six images inside textureImages.
constexpr size_t FONT_IMAGE_OFFSET = 0;
constexpr size_t RING_IMAGE_OFFSET = 8192;
constexpr size_t PANEL_IMAGE_OFFSET = 57344;
constexpr size_t TITLE1_IMAGE_OFFSET = 122880;
constexpr size_t TITLE2_IMAGE_OFFSET = 155648;
constexpr size_t PICTURE_IMAGE_OFFSET = 188416;
