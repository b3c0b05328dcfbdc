// Images for tests: PNG files read through libpng.
#include <png.h>

#include "tests/support/image.h"

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
