// PNG frames through libpng.
#include "capture/files.h"

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace {

struct PngFailure {
    std::jmp_buf jump;
    std::string message;
};

void OnPngError(png_structp png, png_const_charp message) {
    auto *failure = static_cast<PngFailure *>(png_get_error_ptr(png));
    failure->message = message;
    std::longjmp(failure->jump, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Most of the run is the tunnel, a full screen of brush strokes: with the Sub
// filter, run-length matching compresses it faster than any other zlib
// setting and into smaller files than the fastest level (measured on frames
// of every scene); the mostly black opening frames are cheap either way.
void Encode(png_structp png, png_infop info, FILE *file, const uint8_t *rgb, int width,
            int height) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
    png_write_end(png, info);
}

} // namespace

// libpng leaves through longjmp on an error; nothing here is changed between
// the setjmp and that jump, so no local is left undefined by it.
static bool EncodeGuarded(png_structp png, png_infop info, PngFailure &failure, FILE *file,
                          const uint8_t *rgb, int width, int height) {
    if (setjmp(failure.jump) != 0)
        return false;
    Encode(png, info, file, rgb, width, height);
    return true;
}

bool WritePng(const std::string &path, const uint8_t *rgb, int width, int height,
              std::string &error) {
    FILE *file = fopen(path.c_str(), "wbe");
    if (file == nullptr) {
        error = FileError(path, errno);
        return false;
    }
    PngFailure failure;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr && EncodeGuarded(png, info, failure, file, rgb, width, height);
    if (info == nullptr)
        failure.message = "out of memory for the PNG encoder";
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    // libpng reports a failed fwrite as "Write Error"; errno says why.
    int saved = errno;
    if (ferror(file) && ok) {
        ok = false;
        failure.message = strerror(saved);
    }
    if (fclose(file) != 0 && ok) {
        ok = false;
        failure.message = strerror(errno);
    }
    if (!ok)
        error =
            path + ": " + (failure.message == "Write Error" ? strerror(saved) : failure.message);
    return ok;
}
