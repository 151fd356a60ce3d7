#include <gtest/gtest.h>

#include "tools/skinpack/SevenZipHeader.h"

using sevenzip::HeaderBuffer;

TEST(HeaderBufferTest, NumbersUseTheVariableLengthForm) {
    const struct {
        uint64_t value;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0, {0x00}},
        {0x7F, {0x7F}},
        {0x80, {0x80, 0x80}},
        {0x3FFF, {0xBF, 0xFF}},
        {0x4000, {0xC0, 0x00, 0x40}},
        {0x123456, {0xD2, 0x56, 0x34}},
        {0x234567, {0xE0, 0x67, 0x45, 0x23}},
        {(uint64_t{1} << 56) - 1, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {uint64_t{1} << 56, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0x01}},
        {~uint64_t{0}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        HeaderBuffer h;
        h.Number(c.value);
        EXPECT_EQ(h.bytes(), c.bytes) << c.value;
    }
}

TEST(HeaderBufferTest, BitVectorsPackMostSignificantFirst) {
    HeaderBuffer h;
    h.BitVector({true, false, false, false, false, false, false, true, true, true});
    EXPECT_EQ(h.bytes(), (std::vector<uint8_t>{0x81, 0xC0}));
}

TEST(HeaderBufferTest, StartHeaderCarriesSignatureVersionAndPlace) {
    const std::vector<uint8_t> start = sevenzip::StartHeader(0x1234, 0x56, 0xAABBCCDD);
    ASSERT_EQ(start.size(), 32u);
    EXPECT_EQ(std::vector<uint8_t>(start.begin(), start.begin() + 8),
              (std::vector<uint8_t>{'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4}));
    EXPECT_EQ(start[12], 0x34);
    EXPECT_EQ(start[13], 0x12);
    EXPECT_EQ(start[20], 0x56);
    EXPECT_EQ(start[28], 0xDD);
    EXPECT_EQ(start[31], 0xAA);
}
