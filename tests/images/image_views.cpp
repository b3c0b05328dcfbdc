#include "tests/images/image_views.h"

#include "tools/images/images.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

const std::vector<uint8_t> &Block() {
    static const std::vector<uint8_t> block = [] {
        std::ifstream in(IMAGE_BLOCK_PATH, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (bytes.size() != IMAGE_BLOCK_SIZE) {
            std::fprintf(stderr, "cannot read the painted block %s\n", IMAGE_BLOCK_PATH);
            std::abort();
        }
        return bytes;
    }();
    return block;
}

View ImageView(int index) {
    size_t offset = 0;
    for (int i = 0; i < index; ++i)
        offset += IMAGE_INFO[i].Size();
    const ImageInfo &info = IMAGE_INFO[index];
    return {Block().data() + offset, info.width, info.height, info.channels};
}
