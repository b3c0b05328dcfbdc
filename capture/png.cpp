// PNG frames, assembled here around a zlib stream from libdeflate: libdeflate
// compresses a whole buffer at once, several times faster than zlib's
// streaming deflate at a similar size, which keeps the writing off the
// capture's critical path.
#include "capture/png.h"

#include "capture/file_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <libdeflate.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "runtime/file_system.h"

namespace {

// Measured on frames of every scene: level 1 of libdeflate with the Up filter
// takes about two thirds of the time of zlib's fastest level with run-length
// matching (the fastest zlib setting) at files some 6 % larger; libdeflate's
// higher levels cost far more time than they save bytes, and the Sub, Average
// and Paeth filters cost more time for files no smaller or barely so.
constexpr int COMPRESSION_LEVEL = 1;
constexpr uint8_t FILTER_NONE = 0;
constexpr uint8_t FILTER_UP = 2;
constexpr uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t CHUNK_FRAME = 12; // length, type and CRC around the data

struct CompressorDeleter {
    void operator()(libdeflate_compressor *compressor) const {
        libdeflate_free_compressor(compressor);
    }
};

// Each thread that writes PNGs keeps its compressor and buffers: they are
// sized by the first frame and reused for every later one.
struct Encoder {
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor{
        libdeflate_alloc_compressor(COMPRESSION_LEVEL)};
    std::vector<uint8_t> filtered;
    std::vector<uint8_t> file;
};

thread_local Encoder encoder;

void Put32(uint8_t *at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Fills in the frame of the chunk whose data (length bytes) starts at data.
void CloseChunk(uint8_t *data, const char *type, size_t length) {
    uint8_t *start = data - 8;
    Put32(start, static_cast<uint32_t>(length));
    std::copy(type, type + 4, start + 4);
    Put32(data + length, libdeflate_crc32(0, start + 4, length + 4));
}

// Each row gets the Up filter: every byte less the byte above it. The scenes
// move little between neighbouring rows, so the differences are mostly small
// and deflate codes them in few bits; the loop is a plain vector subtraction.
void FilterRows(const uint8_t *rgb, int width, int height, uint8_t *__restrict out) {
    size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t *in = rgb + y * row;
        *out++ = y == 0 ? FILTER_NONE : FILTER_UP; // the row above the first is zeros
        if (y == 0)
            std::copy(in, in + row, out);
        else
            for (size_t x = 0; x < row; ++x)
                out[x] = static_cast<uint8_t>(in[x] - in[x - row]);
        out += row;
    }
}

// The whole file in encoder.file; 0 on failure, else its length.
size_t Encode(const uint8_t *rgb, int width, int height) {
    size_t raw = (static_cast<size_t>(width) * 3 + 1) * height;
    encoder.filtered.resize(raw);
    FilterRows(rgb, width, height, encoder.filtered.data());
    size_t bound = libdeflate_zlib_compress_bound(encoder.compressor.get(), raw);
    size_t header = sizeof SIGNATURE + CHUNK_FRAME + 13 + 8; // up to the IDAT data
    encoder.file.resize(header + bound + 4 + CHUNK_FRAME);
    uint8_t *file = encoder.file.data();
    std::copy(SIGNATURE, SIGNATURE + 8, file);
    uint8_t *ihdr = file + 16;
    Put32(ihdr, static_cast<uint32_t>(width));
    Put32(ihdr + 4, static_cast<uint32_t>(height));
    const uint8_t rest[5] = {8, 2, 0, 0, 0}; // 8 bits, RGB, deflate, adaptive filters, no interlace
    std::copy(rest, rest + 5, ihdr + 8);
    CloseChunk(ihdr, "IHDR", 13);
    uint8_t *idat = file + header;
    size_t packed = libdeflate_zlib_compress(encoder.compressor.get(), encoder.filtered.data(), raw,
                                             idat, bound);
    if (packed == 0)
        return 0;
    CloseChunk(idat, "IDAT", packed);
    uint8_t *iend = idat + packed + 4 + 8;
    CloseChunk(iend, "IEND", 0);
    return static_cast<size_t>(iend + 4 - file);
}

} // namespace

bool WritePng(const std::string &path, const uint8_t *rgb, int width, int height,
              std::string &error) {
    if (encoder.compressor == nullptr) {
        error = path + ": out of memory for the PNG encoder";
        return false;
    }
    size_t length = Encode(rgb, width, height);
    if (length == 0) {
        error = path + ": the frame did not fit its compression bound";
        return false;
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = FileError(path, errno);
        return false;
    }
    bool ok = WriteAll(fd, encoder.file.data(), length);
    int failure = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok)
        error = FileError(path, failure);
    return ok;
}
