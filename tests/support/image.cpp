// Images for tests: PNG files through libpng.
#include <png.h>

#include "tests/support/image.h"

bool WritePng(const std::string &path, const Image &image) {
    png_image target{};
    target.version = PNG_IMAGE_VERSION;
    target.width = static_cast<png_uint_32>(image.width);
    target.height = static_cast<png_uint_32>(image.height);
    target.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&target, path.c_str(), 0, image.rgb.data(), 0, nullptr) != 0;
}

Image ReadPng(const std::string &path) {
    png_image source{};
    source.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&source, path.c_str()))
        return {};
    source.format = PNG_FORMAT_RGB;
    Image image;
    image.width = static_cast<int>(source.width);
    image.height = static_cast<int>(source.height);
    image.rgb.resize(PNG_IMAGE_SIZE(source));
    if (!png_image_finish_read(&source, nullptr, image.rgb.data(), 0, nullptr)) {
        png_image_free(&source);
        return {};
    }
    return image;
}
