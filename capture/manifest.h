// The manifest: one line per written frame, "FRAME CRC32 SCENES". Every
// failure leaves a one-line reason that names the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct Manifest {
    FILE *file = nullptr;
    std::string path;
};

bool ManifestCreate(Manifest &manifest, const std::string &path, std::string &error);
bool ManifestAdd(Manifest &manifest, int64_t frame, uint32_t crc, uint32_t scenes,
                 std::string &error);
bool ManifestFinish(Manifest &manifest, std::string &error);
std::string ManifestLine(int64_t frame, uint32_t crc, uint32_t scenes);
