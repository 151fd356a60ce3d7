#include <functional>

#include <gtest/gtest.h>

#include "TestIcon.h"
#include "TestPe.h"
#include "tools/skinpack/IconFile.h"

namespace {

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

// Bitmaps and PNG images are taken as they are; depths an editor left
// unrecorded are taken from the bitmap, or 32 for a PNG image.
TEST(IconFileTest, ReadsEveryImageAndWritesTheGroupDirectory) {
    const TestIcon file =
        MakeTestIcon({{16, false, 32}, {32, false, 0}, {0, true, 32}, {48, true, 0}});
    IconFile icon;
    std::string error;
    ASSERT_TRUE(icon.Parse(file.bytes, error)) << error;
    ASSERT_EQ(icon.images().size(), 4u);
    const uint8_t sizes[] = {16, 32, 0, 48};
    for (size_t i = 0; i < 4; ++i) {
        const IconImage& image = icon.images()[i];
        EXPECT_EQ(image.width, sizes[i]) << i;
        EXPECT_EQ(image.height, sizes[i]) << i;
        EXPECT_EQ(image.planes, 1) << i;
        EXPECT_EQ(image.bitCount, 32) << i;
        const auto begin = file.bytes.begin() + static_cast<long>(file.imageOffsets[i]);
        EXPECT_EQ(image.bytes,
                  std::vector<uint8_t>(begin, begin + static_cast<long>(file.imageSizes[i])))
            << i;
    }

    const std::vector<uint8_t> group = icon.GroupDirectory(5);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_EQ(Get16(group, 0), 0);
    EXPECT_EQ(Get16(group, 2), 1);
    EXPECT_EQ(Get16(group, 4), 4);
    for (size_t i = 0; i < 4; ++i) {
        const size_t e = 6 + i * 14;
        EXPECT_EQ(group[e], sizes[i]) << i;
        EXPECT_EQ(group[e + 1], sizes[i]) << i;
        EXPECT_EQ(Get16(group, e + 4), 1) << i;
        EXPECT_EQ(Get16(group, e + 6), 32) << i;
        EXPECT_EQ(Get32(group, e + 8), file.imageSizes[i]) << i;
        EXPECT_EQ(Get16(group, e + 12), 5 + i) << i;
    }
}

// Broken icon files are refused with a reason and never read out of bounds.
TEST(IconFileTest, MalformedIconsAreRefusedWithAReason) {
    const TestIcon good = MakeTestIcon({{16, false, 32}, {0, true, 32}});
    const size_t entry2 = 6 + 16, bmp = good.imageOffsets[0], png = good.imageOffsets[1];
    const struct {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
        const char* message;
    } cases[] = {
        {"empty", [](std::vector<uint8_t>& b) { b.clear(); }, "too short"},
        {"five bytes", [](std::vector<uint8_t>& b) { b.resize(5); }, "too short"},
        {"reserved", [](std::vector<uint8_t>& b) { b[0] = 1; }, "no icon header"},
        {"cursor", [](std::vector<uint8_t>& b) { b[2] = 2; }, "no icon header"},
        {"a PNG file",
         [](std::vector<uint8_t>& b) {
             b.assign({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
         },
         "no icon header"},
        {"no images", [](std::vector<uint8_t>& b) { b[4] = 0; }, "no images"},
        {"too many images",
         [](std::vector<uint8_t>& b) {
             b[4] = 1;
             b[5] = 1;
         },
         "more than 256"},
        {"directory cut", [](std::vector<uint8_t>& b) { b.resize(6 + 16 + 8); },
         "directory runs past the end"},
        {"more entries than bytes", [](std::vector<uint8_t>& b) { b[4] = 200; },
         "directory runs past the end"},
        {"empty image", [entry2](std::vector<uint8_t>& b) { Put32(b, entry2 + 8, 0); }, "is empty"},
        {"image past end",
         [entry2](std::vector<uint8_t>& b) { Put32(b, entry2 + 8, Get32(b, entry2 + 8) + 1); },
         "image 2 lies outside"},
        {"offset wraps", [entry2](std::vector<uint8_t>& b) { Put32(b, entry2 + 12, 0xFFFFFFF0); },
         "image 2 lies outside"},
        {"size wraps", [](std::vector<uint8_t>& b) { Put32(b, 6 + 8, 0xFFFFFFFF); },
         "image 1 lies outside"},
        {"image in the directory", [](std::vector<uint8_t>& b) { Put32(b, 6 + 12, 6); },
         "image 1 lies outside"},
        {"image cut off", [](std::vector<uint8_t>& b) { b.pop_back(); }, "image 2 lies outside"},
        {"core bitmap header", [bmp](std::vector<uint8_t>& b) { Put32(b, bmp, 12); },
         "neither a bitmap nor a PNG"},
        {"bitmap of width 0", [bmp](std::vector<uint8_t>& b) { Put32(b, bmp + 4, 0); },
         "neither a bitmap nor a PNG"},
        {"bitmap of negative height",
         [bmp](std::vector<uint8_t>& b) { Put32(b, bmp + 8, 0xFFFFFFE0); },
         "neither a bitmap nor a PNG"},
        {"bitmap of two planes", [bmp](std::vector<uint8_t>& b) { b[bmp + 12] = 2; },
         "neither a bitmap nor a PNG"},
        {"bitmap shorter than its header", [](std::vector<uint8_t>& b) { Put32(b, 6 + 8, 39); },
         "neither a bitmap nor a PNG"},
        {"spoilt PNG signature", [png](std::vector<uint8_t>& b) { b[png + 1] = 'Q'; },
         "image 2 is neither"},
        {"PNG without IHDR", [png](std::vector<uint8_t>& b) { b[png + 12] = 'X'; },
         "image 2 is neither"},
        {"PNG cut short", [entry2](std::vector<uint8_t>& b) { Put32(b, entry2 + 8, 20); },
         "image 2 is neither"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = good.bytes;
        c.spoil(bytes);
        IconFile icon;
        std::string error;
        EXPECT_FALSE(icon.Parse(bytes, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(icon.images().empty()) << c.what;
    }
}

// Every truncation is refused; every single-byte spoiling is either refused
// or read with each image inside the file.
TEST(IconFileTest, TruncatedAndScrambledIconsNeverCrash) {
    const TestIcon good = MakeTestIcon({{16, false, 32}, {0, true, 32}});
    for (size_t size = 0; size < good.bytes.size(); ++size) {
        IconFile icon;
        std::string error;
        EXPECT_FALSE(icon.Parse(
            std::vector<uint8_t>(good.bytes.begin(), good.bytes.begin() + static_cast<long>(size)),
            error))
            << size;
    }
    for (size_t at = 0; at < good.imageOffsets[0] + 48; ++at) {
        std::vector<uint8_t> bytes = good.bytes;
        bytes[at] ^= 0xA5;
        IconFile icon;
        std::string error;
        if (!icon.Parse(bytes, error)) {
            EXPECT_NE(error, "") << at;
            continue;
        }
        size_t total = 0;
        for (const IconImage& image : icon.images()) total += image.bytes.size();
        EXPECT_LE(total, bytes.size()) << at;
    }
}
