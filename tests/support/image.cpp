// Images for tests: PNG files through libpng, comparison, counting.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <png.h>

#include "tests/support/image.h"

namespace {
void CloseFile(FILE *file) {
    if (file != nullptr)
        std::fclose(file);
}
} // namespace

bool WritePng(const std::string &path, const Image &image) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        CloseFile(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; y++)
        png_write_row(png, image.Pixel(0, y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
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

ImageDifference CompareImages(const Image &a, const Image &b, int tolerance) {
    ImageDifference result;
    result.sameSize = a.width == b.width && a.height == b.height && a.rgb.size() == b.rgb.size();
    if (!result.sameSize)
        return result;
    for (size_t pixel = 0; pixel < a.rgb.size(); pixel += 3) {
        int worst = 0;
        for (size_t channel = 0; channel < 3; channel++)
            worst = std::max(worst, std::abs(a.rgb[pixel + channel] - b.rgb[pixel + channel]));
        result.maxChannelDifference = std::max(result.maxChannelDifference, worst);
        if (worst > tolerance)
            result.differingPixels++;
    }
    return result;
}

int CountDarkPixels(const Image &image, int threshold) {
    int count = 0;
    for (size_t pixel = 0; pixel < image.rgb.size(); pixel += 3) {
        if (image.rgb[pixel] <= threshold && image.rgb[pixel + 1] <= threshold &&
            image.rgb[pixel + 2] <= threshold)
            count++;
    }
    return count;
}
