#include <gtest/gtest.h>

#include "TestPe.h"
#include "tools/skinpack/VersionInfo.h"

namespace {

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

size_t Align4(size_t at) { return (at + 3) & ~size_t{3}; }

// One block of the version information as a reader walks it, every length
// checked against its parent's.
struct Block {
    std::u16string key;
    uint16_t kind = 0;
    uint16_t valueLength = 0;
    std::vector<uint8_t> value;
    std::vector<Block> children;
};

std::u16string Text(const std::vector<uint8_t>& b, size_t at, size_t end) {
    std::u16string text;
    for (; at + 1 < end && Get16(b, at) != 0; at += 2) text += static_cast<char16_t>(Get16(b, at));
    return text;
}

// Reads the block at `at`, which must end by `limit`; false when it does not.
bool ReadBlock(const std::vector<uint8_t>& b, size_t at, size_t limit, Block& out) {
    if (at % 4 != 0 || at + 6 > limit) return false;
    const size_t end = at + Get16(b, at);
    if (end > limit || end < at + 6) return false;
    out.valueLength = Get16(b, at + 2);
    out.kind = Get16(b, at + 4);
    out.key = Text(b, at + 6, end);
    size_t p = Align4(at + 6 + (out.key.size() + 1) * 2);
    // A text's value length counts characters, a binary value's bytes.
    const size_t valueBytes = out.kind == 1 ? out.valueLength * 2u : out.valueLength;
    if (p + valueBytes > end) return false;
    out.value.assign(b.begin() + static_cast<long>(p),
                     b.begin() + static_cast<long>(p + valueBytes));
    for (p = Align4(p + valueBytes); p < end; p = Align4(p)) {
        Block child;
        if (!ReadBlock(b, p, end, child)) return false;
        p += Get16(b, p);
        out.children.push_back(std::move(child));
    }
    return true;
}

const Block* Child(const Block& block, const std::u16string& key) {
    for (const Block& child : block.children)
        if (child.key == key) return &child;
    return nullptr;
}

std::u16string ValueText(const Block& block) { return Text(block.value, 0, block.value.size()); }

}  // namespace

// Built, then read back as the system's version reader walks it.
TEST(VersionInfoTest, BuiltInformationReadsBackFieldByField) {
    VersionInfo info;
    std::string error;
    ASSERT_TRUE(info.SetVersion("2.10.300.4000", error)) << error;
    ASSERT_TRUE(info.SetText(u"ProductName", "Quorin Format", error)) << error;
    ASSERT_TRUE(info.SetText(u"CompanyName", "Quorin Software Ltd.", error)) << error;
    ASSERT_TRUE(info.SetText(u"FileDescription", "Quorin Format Setup", error)) << error;
    ASSERT_TRUE(info.SetText(u"LegalCopyright", "\xC2\xA9 2026 Quorin \xE5\xBC\x80", error));
    const std::vector<uint8_t> bytes = info.Build();
    EXPECT_EQ(bytes, info.Build());

    Block root;
    ASSERT_TRUE(ReadBlock(bytes, 0, bytes.size(), root));
    EXPECT_EQ(Get16(bytes, 0), bytes.size());
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 52u);
    const uint32_t expectFixed[] = {0xFEEF04BD, 0x00010000, 0x0002000A, 0x012C0FA0, 0x0002000A,
                                    0x012C0FA0, 0x3F,       0,          0x00040004, 1,
                                    0,          0,          0};
    for (size_t i = 0; i < 13; ++i) EXPECT_EQ(Get32(root.value, i * 4), expectFixed[i]) << i;

    const Block* strings = Child(root, u"StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u);
    const Block& table = strings->children[0];
    EXPECT_EQ(table.key, u"040904B0");
    const std::pair<std::u16string, std::u16string> expectTexts[] = {
        {u"CompanyName", u"Quorin Software Ltd."},
        {u"FileDescription", u"Quorin Format Setup"},
        {u"FileVersion", u"2.10.300.4000"},
        {u"LegalCopyright", u"\u00A9 2026 Quorin \u5F00"},
        {u"ProductName", u"Quorin Format"},
        {u"ProductVersion", u"2.10.300.4000"},
    };
    ASSERT_EQ(table.children.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const Block& text = table.children[i];
        EXPECT_EQ(text.key, expectTexts[i].first);
        EXPECT_EQ(text.kind, 1);
        EXPECT_EQ(ValueText(text), expectTexts[i].second);
        EXPECT_EQ(text.valueLength, expectTexts[i].second.size() + 1) << i;
    }

    const Block* vars = Child(root, u"VarFileInfo");
    ASSERT_NE(vars, nullptr);
    ASSERT_EQ(vars->children.size(), 1u);
    EXPECT_EQ(vars->children[0].key, u"Translation");
    EXPECT_EQ(vars->children[0].kind, 0);
    ASSERT_EQ(vars->children[0].value.size(), 4u);
    EXPECT_EQ(Get32(vars->children[0].value, 0), 0x04B00409u);
}

TEST(VersionInfoTest, VersionsAreOneToFourNumbers) {
    const struct {
        const char* text;
        bool ok;
        std::array<uint16_t, 4> version;
        const char16_t* shown;
    } cases[] = {
        {"1.2.3.4", true, {1, 2, 3, 4}, u"1.2.3.4"},
        {"7", true, {7, 0, 0, 0}, u"7.0.0.0"},
        {"65535.0.01", true, {65535, 0, 1, 0}, u"65535.0.1.0"},
        {"", false, {}, nullptr},
        {"65536", false, {}, nullptr},
        {"1..2", false, {}, nullptr},
        {"1.2.", false, {}, nullptr},
        {".1", false, {}, nullptr},
        {"1.2.3.4.5", false, {}, nullptr},
        {"-1", false, {}, nullptr},
        {"1.2 beta", false, {}, nullptr},
        {"0x10", false, {}, nullptr},
        {"1.99999999999999999999", false, {}, nullptr},
    };
    for (const auto& c : cases) {
        VersionInfo info;
        std::string error;
        EXPECT_EQ(info.SetVersion(c.text, error), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_NE(error.find("is not one to four numbers"), std::string::npos) << error;
            EXPECT_TRUE(info.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(info.version(), c.version) << c.text;
        Block root;
        const std::vector<uint8_t> bytes = info.Build();
        ASSERT_TRUE(ReadBlock(bytes, 0, bytes.size(), root));
        const Block& table = Child(root, u"StringFileInfo")->children.at(0);
        EXPECT_EQ(ValueText(*Child(table, u"FileVersion")), c.shown) << c.text;
    }
}

TEST(VersionInfoTest, EmptyAndOverlongTextsAreRefused) {
    VersionInfo info;
    std::string error;
    EXPECT_FALSE(info.SetText(u"CompanyName", "", error));
    EXPECT_NE(error.find("CompanyName is empty"), std::string::npos) << error;
    EXPECT_FALSE(info.SetText(u"CompanyName", std::string(VersionInfo::kMaxText + 1, 'x'), error));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
    EXPECT_TRUE(info.empty());
    // The longest texts everywhere still fit the structure's 16-bit lengths.
    const std::string longest(VersionInfo::kMaxText, 'x');
    for (const char16_t* key : {u"CompanyName", u"FileDescription", u"LegalCopyright",
                                u"ProductName", u"Comments", u"InternalName"})
        ASSERT_TRUE(info.SetText(key, longest, error)) << error;
    ASSERT_TRUE(info.SetVersion("1", error));
    const std::vector<uint8_t> bytes = info.Build();
    Block root;
    ASSERT_TRUE(ReadBlock(bytes, 0, bytes.size(), root));
    EXPECT_EQ(Get16(bytes, 0), bytes.size());
    EXPECT_EQ(Child(root, u"StringFileInfo")->children.at(0).children.size(), 8u);
}
