#include "tools/images/png_write.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE *f) const {
        std::fclose(f);
    }
};

std::vector<uint8_t> ZoomRow(const std::vector<uint8_t> &texels, int width, int channels, int y,
                             int zoom) {
    std::vector<uint8_t> row(static_cast<size_t>(width) * zoom * channels);
    const uint8_t *src = texels.data() + static_cast<size_t>(y) * width * channels;
    for (int x = 0; x < width * zoom; ++x)
        for (int c = 0; c < channels; ++c)
            row[static_cast<size_t>(x) * channels + c] = src[(x / zoom) * channels + c];
    return row;
}

} // namespace

bool WritePng(const std::string &path, const std::vector<uint8_t> &texels, int width, int height,
              int channels, int zoom) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // libpng reports errors by a long jump back to the setjmp below: every
    // object with a destructor is made before it, so none is skipped.
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < height * zoom; ++y)
        rows.push_back(ZoomRow(texels, width, channels, y / zoom, zoom));
    std::vector<png_bytep> rowPointers;
    for (auto &row : rows)
        rowPointers.push_back(row.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, width * zoom, height * zoom, 8,
                 channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}
