// WAV writer: 16-bit stereo PCM, header sizes patched after every append.
#include "capture/wav.h"

#include "capture/file_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "runtime/file_system.h"

namespace {

constexpr int CHANNELS = 2;
constexpr int BYTES_PER_FRAME = CHANNELS * 2;
constexpr size_t HEADER_BYTES = 44;

void Put32(uint8_t *at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(uint8_t *at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

void WavHeader(uint8_t header[44], uint32_t rate, uint64_t dataBytes) {
    uint32_t data = static_cast<uint32_t>(dataBytes);
    memcpy(header, "RIFF", 4);
    Put32(header + 4, 36 + data);
    memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16); // size of the format chunk
    Put16(header + 20, 1);  // integer PCM
    Put16(header + 22, CHANNELS);
    Put32(header + 24, rate);
    Put32(header + 28, rate * BYTES_PER_FRAME);
    Put16(header + 32, BYTES_PER_FRAME);
    Put16(header + 34, 16);
    memcpy(header + 36, "data", 4);
    Put32(header + 40, data);
}

namespace {

// The header for dataBytes of sound, over the file's first bytes.
bool PutHeader(const WavFile &wav, uint64_t dataBytes) {
    uint8_t header[HEADER_BYTES];
    WavHeader(header, wav.rate, dataBytes);
    return pwrite(wav.fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
}

} // namespace

bool WavCreate(WavFile &wav, const std::string &path, uint32_t rate, std::string &error) {
    wav = WavFile{};
    wav.path = path;
    wav.rate = rate;
    wav.fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    uint8_t header[HEADER_BYTES];
    WavHeader(header, rate, 0);
    if (wav.fd < 0 || !WriteAll(wav.fd, header, sizeof header)) {
        error = FileError(path, errno);
        if (wav.fd >= 0)
            close(wav.fd);
        wav.fd = -1;
        return false;
    }
    return true;
}

bool WavAppend(WavFile &wav, const int16_t *samples, size_t sampleFrames, std::string &error) {
    size_t bytes = sampleFrames * BYTES_PER_FRAME;
    if (wav.dataBytes + bytes > UINT32_MAX - HEADER_BYTES) {
        error = wav.path + ": sound too long for a WAV file";
        return false;
    }
    if (WriteAll(wav.fd, samples, bytes) && PutHeader(wav, wav.dataBytes + bytes)) {
        wav.dataBytes += bytes;
        return true;
    }
    error = FileError(wav.path, errno);
    // A full disk takes part of the frame: the file goes back to whole frames.
    off_t end = static_cast<off_t>(HEADER_BYTES + wav.dataBytes);
    if (ftruncate(wav.fd, end) == 0)
        lseek(wav.fd, end, SEEK_SET);
    return false;
}

bool WavFinish(WavFile &wav, std::string &error) {
    if (wav.fd < 0)
        return true;
    bool ok = PutHeader(wav, wav.dataBytes);
    int saved = errno;
    if (close(wav.fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    wav.fd = -1;
    if (!ok)
        error = FileError(wav.path, saved);
    return ok;
}
