#pragma once
// Small hand-made icon files for the icon reader's and the resource writer's
// tests: each image a 32-bit bitmap or a PNG, stored after the directory.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TestIconImage {
    uint8_t size = 16;       // width and height in the directory (0 means 256)
    bool png = false;        // a PNG image instead of a bitmap
    uint16_t bitCount = 32;  // as the directory records it (0: unrecorded)
};

struct TestIcon {
    std::vector<uint8_t> bytes;
    std::vector<size_t> imageOffsets;  // where each image's bytes start
    std::vector<size_t> imageSizes;
};

TestIcon MakeTestIcon(const std::vector<TestIconImage>& images);
