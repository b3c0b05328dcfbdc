// The module as the build makes it: make_module is run once into a private
// temporary directory and the file is read back and loaded into libxmp.
#pragma once

#include <xmp.h>

#include <cstdint>
#include <string>
#include <vector>

struct GeneratedModule {
    std::string directory;
    std::string path;
    std::vector<uint8_t> bytes;
    xmp_context context = nullptr;
    xmp_module_info info{};
};

// The shared instance; generated and loaded on first use (fails the calling
// test if that does not work).
const GeneratedModule &Generated();

// Runs a command through the shell; returns its exit status, or -1.
int RunCommand(const std::string &command);

// A fresh private directory under TMPDIR (or /tmp).
std::string MakeTempDir();

// Little-endian fields of the raw file.
uint32_t Raw16(const std::vector<uint8_t> &b, size_t at);
uint32_t Raw32(const std::vector<uint8_t> &b, size_t at);
