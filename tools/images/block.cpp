#include "tools/images/images.h"

#include <stdexcept>
#include <string>

std::vector<uint8_t> PaintImage(int index) {
    std::vector<uint8_t> bytes;
    switch (index) {
    case 0:
        bytes = PaintFont();
        break;
    case 1:
        bytes = PaintRing();
        break;
    case 2:
        bytes = PaintPanel();
        break;
    case 3:
        bytes = PaintTitle(1);
        break;
    case 4:
        bytes = PaintTitle(2);
        break;
    case 5:
        bytes = PaintPicture();
        break;
    default:
        throw std::out_of_range("no image " + std::to_string(index));
    }
    // A painter of the wrong size would shift every later image in the block.
    if (bytes.size() != IMAGE_INFO[index].Size()) {
        throw std::logic_error(std::string("image ") + IMAGE_INFO[index].name +
                               " painted with the wrong size");
    }
    return bytes;
}

std::vector<uint8_t> PaintImageBlock() {
    std::vector<uint8_t> block;
    block.reserve(IMAGE_BLOCK_SIZE);
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        std::vector<uint8_t> image = PaintImage(i);
        block.insert(block.end(), image.begin(), image.end());
    }
    return block;
}
