// The capture tool's plain-file outputs: WAV sound, PNG frames, the manifest.
// Every failure leaves a one-line reason that names the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// "path: reason" from errno.
std::string FileError(const std::string &path, int error);

// Writes all of length bytes to fd, retrying short writes and EINTR.
bool WriteFully(int fd, const void *data, size_t length);

// A 16-bit stereo PCM WAV file written as it grows. The header carries the
// final sizes once WavFinish has run, so an interrupted capture stays playable.
struct WavFile {
    int fd = -1;
    std::string path;
    uint32_t rate = 0;
    uint64_t dataBytes = 0;
};

bool WavCreate(WavFile &wav, const std::string &path, uint32_t rate, std::string &error);
bool WavAppend(WavFile &wav, const int16_t *samples, size_t sampleFrames, std::string &error);
bool WavFinish(WavFile &wav, std::string &error);
// The 44-byte header of a file holding dataBytes bytes of sound.
void WavHeader(uint8_t header[44], uint32_t rate, uint64_t dataBytes);

// One RGB frame (rows top first, no padding) as an 8-bit RGB PNG.
bool WritePng(const std::string &path, const uint8_t *rgb, int width, int height,
              std::string &error);

// The manifest: one line per written frame, "FRAME CRC32 SCENES".
struct Manifest {
    FILE *file = nullptr;
    std::string path;
};

bool ManifestCreate(Manifest &manifest, const std::string &path, std::string &error);
bool ManifestAdd(Manifest &manifest, int64_t frame, uint32_t crc, uint32_t scenes,
                 std::string &error);
bool ManifestFinish(Manifest &manifest, std::string &error);
std::string ManifestLine(int64_t frame, uint32_t crc, uint32_t scenes);
