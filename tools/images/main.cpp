// make_images OUTPUT.bin [--png-dir DIR] [--zoom N]
// Paints the six texture images and writes them back to back to OUTPUT.bin;
// with --png-dir also writes each image as DIR/<name>.png to look at.
#include "tools/images/images.h"
#include "tools/images/png_write.h"

#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void Usage() {
    std::fprintf(stderr, "usage: make_images OUTPUT.bin [--png-dir DIR] [--zoom N]\n");
}

bool WriteBlock(std::ofstream &out, const std::vector<uint8_t> &block) {
    out.write(reinterpret_cast<const char *>(block.data()),
              static_cast<std::streamsize>(block.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WritePreviews(const std::string &dir, const std::vector<uint8_t> &block, int zoom) {
    size_t offset = 0;
    for (const ImageInfo &info : IMAGE_INFO) {
        std::vector<uint8_t> image(block.begin() + static_cast<long>(offset),
                                   block.begin() + static_cast<long>(offset + info.Size()));
        offset += info.Size();
        std::string path = dir + "/" + info.name + ".png";
        if (!WritePng(path, image, info.width, info.height, info.channels, zoom)) {
            std::fprintf(stderr, "make_images: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    static const option OPTIONS[] = {
        {"png-dir", required_argument, nullptr, 'p'},
        {"zoom", required_argument, nullptr, 'z'},
        {nullptr, 0, nullptr, 0},
    };
    std::string pngDir;
    int zoom = 1;
    for (int opt; (opt = getopt_long(argc, argv, "p:z:", OPTIONS, nullptr)) != -1;) {
        if (opt == 'p') {
            pngDir = optarg;
        } else if (opt == 'z' && std::atoi(optarg) >= 1 && std::atoi(optarg) <= 16) {
            zoom = std::atoi(optarg);
        } else {
            Usage();
            return 2;
        }
    }
    if (optind + 1 != argc) {
        Usage();
        return 2;
    }
    // Painting takes seconds: find out first whether the results can be kept.
    std::ofstream out(argv[optind], std::ios::binary | std::ios::trunc);
    if (!out || (!pngDir.empty() && access(pngDir.c_str(), W_OK) != 0)) {
        std::fprintf(stderr, "make_images: cannot write %s\n", out ? pngDir.c_str() : argv[optind]);
        return 1;
    }
    std::vector<uint8_t> block = PaintImageBlock();
    if (!WriteBlock(out, block)) {
        std::fprintf(stderr, "make_images: cannot write %s\n", argv[optind]);
        return 1;
    }
    if (!pngDir.empty() && !WritePreviews(pngDir, block, zoom))
        return 1;
    return 0;
}
