// make_module OUTPUT.xm: composes the soundtrack and writes it as an XM file.
// Everything is synthesised here, so the same program always writes the same
// bytes.
#include "tools/module/song.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_module OUTPUT.xm\n");
        return 2;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes = SerializeXm(ComposeSong());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_module: %s\n", e.what());
        return 1;
    }
    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_module: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
