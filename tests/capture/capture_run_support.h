// Running the capture tool from tests, and reading what it wrote.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct ToolRun {
    int status = -1; // exit status, or 128 + signal
    std::string errors;
};

// Runs the tool with arguments, TMPDIR set to tempDir, stderr collected.
ToolRun RunTool(const std::vector<std::string> &arguments, const std::string &tempDir);
// Starts the tool without waiting; stderr goes to errorsPath.
pid_t StartTool(const std::vector<std::string> &arguments, const std::string &tempDir,
                const std::string &errorsPath);
int WaitTool(pid_t pid);

struct ManifestEntry {
    int64_t frame;
    uint32_t crc;
    uint32_t blocks;
    bool operator==(const ManifestEntry &) const = default;
};
std::vector<ManifestEntry> ReadManifest(const std::string &path);
// First manifest frame whose blocks include all of bits, or -1.
int64_t FirstFrameWith(const std::vector<ManifestEntry> &manifest, uint32_t bits);

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t *At(int x, int y) const {
        return &rgb[(size_t(y) * width + x) * 3];
    }
};
Image ReadPng(const std::string &path);
std::string ReadBytes(const std::string &path);
std::string MakeTempDirectory(const char *tag);
size_t EntriesIn(const std::string &directory);
