// The per-frame manifest: frame number, CRC-32 of the RGB bytes, effects drawn.
#include "capture/manifest.h"

#include "capture/file_error.h"

#include <cerrno>
#include <cinttypes>

std::string ManifestLine(int64_t frame, uint32_t crc, uint32_t scenes) {
    char line[64];
    snprintf(line, sizeof line, "%" PRId64 " %08x %02x\n", frame, crc, scenes);
    return line;
}

bool ManifestCreate(Manifest &manifest, const std::string &path, std::string &error) {
    manifest.path = path;
    manifest.file = fopen(path.c_str(), "we");
    if (manifest.file == nullptr) {
        error = FileError(path, errno);
        return false;
    }
    // Each line reaches the file with its frame: a run that ends at any moment
    // lists every frame it kept.
    setvbuf(manifest.file, nullptr, _IOLBF, BUFSIZ);
    return true;
}

bool ManifestAdd(Manifest &manifest, int64_t frame, uint32_t crc, uint32_t scenes,
                 std::string &error) {
    if (manifest.file == nullptr)
        return true;
    std::string line = ManifestLine(frame, crc, scenes);
    if (fputs(line.c_str(), manifest.file) < 0) {
        error = FileError(manifest.path, errno);
        return false;
    }
    return true;
}

bool ManifestFinish(Manifest &manifest, std::string &error) {
    if (manifest.file == nullptr)
        return true;
    bool ok = fflush(manifest.file) == 0 && !ferror(manifest.file);
    int saved = errno;
    if (fclose(manifest.file) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    manifest.file = nullptr;
    if (!ok)
        error = FileError(manifest.path, saved);
    return ok;
}
