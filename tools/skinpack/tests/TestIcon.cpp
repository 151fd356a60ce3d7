#include "TestIcon.h"

#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// An info header (height counting the mask), colour rows and the mask; the
// pixels carry the size so images differ.
std::vector<uint8_t> Bitmap(uint32_t side) {
    const size_t colours = side * side * 4, mask = ((side + 31) / 32) * 4 * side;
    std::vector<uint8_t> b(40 + colours + mask, static_cast<uint8_t>(side));
    std::memset(b.data(), 0, 40);
    Put32(b, 0, 40);
    Put32(b, 4, side);
    Put32(b, 8, side * 2);
    Put16(b, 12, 1);
    Put16(b, 14, 32);
    std::memset(&b[40 + colours], 0, mask);
    return b;
}

// The signature and an IHDR chunk are all the reader looks at.
std::vector<uint8_t> Png(uint32_t side) {
    std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                              0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<uint8_t>(side >> shift));
    for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<uint8_t>(side >> shift));
    for (uint8_t v : {8, 6, 0, 0, 0, 0, 0, 0, 0}) b.push_back(v);
    return b;
}

}  // namespace

TestIcon MakeTestIcon(const std::vector<TestIconImage>& images) {
    TestIcon icon;
    icon.bytes.assign(6 + images.size() * 16, 0);
    Put16(icon.bytes, 2, 1);
    Put16(icon.bytes, 4, static_cast<uint16_t>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const TestIconImage& image = images[i];
        const uint32_t side = image.size == 0 ? 256 : image.size;
        const std::vector<uint8_t> data = image.png ? Png(side) : Bitmap(side);
        const size_t entry = 6 + i * 16;
        icon.bytes[entry] = image.size;
        icon.bytes[entry + 1] = image.size;
        Put16(icon.bytes, entry + 4, image.bitCount == 0 ? 0 : 1);
        Put16(icon.bytes, entry + 6, image.bitCount);
        Put32(icon.bytes, entry + 8, static_cast<uint32_t>(data.size()));
        Put32(icon.bytes, entry + 12, static_cast<uint32_t>(icon.bytes.size()));
        icon.imageOffsets.push_back(icon.bytes.size());
        icon.imageSizes.push_back(data.size());
        icon.bytes.insert(icon.bytes.end(), data.begin(), data.end());
    }
    return icon;
}
