// The capture's sound: a 16-bit stereo PCM WAV file written as it grows.
// Every failure leaves a one-line reason that names the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The header counts the sound after every append, so a capture that ends at
// any moment leaves a playable file; a failed append leaves it as it was.
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
