#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "PackageTestUtil.h"
#include "package/PackageFormat.h"
#include "package/PackageIndex.h"
#include "support/TestProcess.h"

namespace {

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

void PutName(std::string& out, const std::u16string& name) {
    for (char16_t c : name) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
}

std::string Package(const std::vector<PackageInput>& inputs) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(WritePackage(inputs, bytes));
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::string Found(const PackageIndex& index, const std::wstring& name) {
    const PackageSpan span = index.FindEntry(name);
    if (!span.data) return "<none>";
    return std::string(reinterpret_cast<const char*>(span.data), span.size);
}

const std::vector<PackageInput> kSkin = {
    {u"xml\\main.xml", Bytes("<UIWnd/>")},
    {u"img\\close.png", Bytes("PNG-close")},
    {u"img\\empty.png", {}},
};

TEST(PackageIndex, FindsEntriesInAnyCaseOfTheRequest) {
    const std::string pkg = Package(kSkin);
    PackageIndex index;
    index.BuildIndex(pkg.data(), pkg.size());
    EXPECT_EQ(index.EntryCount(), 3u);
    EXPECT_EQ(Found(index, L"xml\\main.xml"), "<UIWnd/>");
    EXPECT_EQ(Found(index, L"IMG\\CLOSE.PNG"), "PNG-close");
    EXPECT_EQ(Found(index, L"Xml\\Main.XML"), "<UIWnd/>");
}

TEST(PackageIndex, EmptyEntryIsFoundWithItsAddress) {
    const std::string pkg = Package(kSkin);
    PackageIndex index;
    index.BuildIndex(pkg.data(), pkg.size());
    const PackageSpan span = index.FindEntry(L"img\\empty.png");
    ASSERT_NE(span.data, nullptr);
    EXPECT_EQ(span.size, 0u);
    EXPECT_EQ(span.data, reinterpret_cast<const uint8_t*>(pkg.data()) + pkg.size());
}

TEST(PackageIndex, UnknownSlashedAndUpperCaseStoredNamesAreNotFound) {
    const std::string pkg = Package({{u"img\\Logo.png", Bytes("x")}, {u"xml\\a.xml", Bytes("a")}});
    PackageIndex index;
    index.BuildIndex(pkg.data(), pkg.size());
    for (const wchar_t* name :
         {L"img\\Logo.png", L"img\\logo.png", L"xml/a.xml", L"xml\\b.xml", L""})
        EXPECT_EQ(index.FindEntry(name).data, nullptr) << Narrow(name);
}

TEST(PackageIndex, CountOfZeroOrLessGivesAnEmptyIndex) {
    for (int32_t count : {0, -1, INT_MIN}) {
        std::string pkg;
        Put32(pkg, static_cast<uint32_t>(count));
        Put32(pkg, 2);  // a header that must not be read
        PutName(pkg, u"a");
        Put32(pkg, 0);
        Put32(pkg, 0);
        PackageIndex index;
        index.BuildIndex(pkg.data(), pkg.size());
        EXPECT_EQ(index.EntryCount(), 0u) << count;
        EXPECT_EQ(index.FindEntry(L"a").data, nullptr);
    }
}

TEST(PackageIndex, LaterDuplicateWins) {
    const std::string pkg = Package({{u"a", Bytes("first")}, {u"a", Bytes("second")}});
    PackageIndex index;
    index.BuildIndex(pkg.data(), pkg.size());
    EXPECT_EQ(index.EntryCount(), 1u);
    EXPECT_EQ(Found(index, L"a"), "second");
}

TEST(PackageIndex, OddNameLengthUsesWholeUnitsAndSkipsAllBytes) {
    std::string pkg;
    Put32(pkg, 2);
    Put32(pkg, 5);  // "ab" plus one stray byte
    PutName(pkg, u"ab");
    pkg += 'Z';
    const size_t firstOffsetAt = pkg.size();
    Put32(pkg, 0);
    Put32(pkg, 1);
    Put32(pkg, 2);
    PutName(pkg, u"c");
    const size_t secondOffsetAt = pkg.size();
    Put32(pkg, 0);
    Put32(pkg, 1);
    const uint32_t data = static_cast<uint32_t>(pkg.size());
    pkg += "12";
    std::memcpy(&pkg[firstOffsetAt], &data, 4);
    const uint32_t data2 = data + 1;
    std::memcpy(&pkg[secondOffsetAt], &data2, 4);
    PackageIndex index;
    index.BuildIndex(pkg.data(), pkg.size());
    EXPECT_EQ(Found(index, L"ab"), "1");
    EXPECT_EQ(Found(index, L"c"), "2");
}

// Every cut of a package indexes exactly the entries that are still whole,
// and never reads a byte past the cut (the guard page would fault).
TEST(PackageIndex, TruncatedPackageKeepsWholeEntriesOnly) {
    const std::string pkg = Package(kSkin);
    const PackageContents full =
        ReadPackage(reinterpret_cast<const uint8_t*>(pkg.data()), pkg.size());
    ASSERT_EQ(full.entries.size(), 3u);
    size_t headersEnd = kPackageCountBytes;
    for (const PackageEntry& e : full.entries) headersEnd += 12 + 2 * e.name.size();
    for (size_t cut = 0; cut <= pkg.size(); ++cut) {
        GuardedBytes bytes(pkg.substr(0, cut));
        PackageIndex index;
        index.BuildIndex(bytes.data(), bytes.size());
        size_t expected = 0;
        if (cut >= headersEnd) {
            for (const PackageEntry& e : full.entries) expected += e.offset + e.size <= cut ? 1 : 0;
        }
        EXPECT_EQ(index.EntryCount(), expected) << "cut at " << cut;
        for (const PackageEntry& e : full.entries) {
            const PackageSpan span = index.FindEntry(std::wstring(e.name.begin(), e.name.end()));
            if (span.data) {
                EXPECT_LE(span.data + span.size, bytes.data() + bytes.size());
            }
        }
    }
}

TEST(PackageIndex, HeadersRunningPastTheEndStopTheIndex) {
    struct Case {
        const char* what;
        uint32_t count, nameLength;
    };
    for (const Case& c :
         {Case{"huge count", 0x7FFFFFFF, 2}, Case{"huge name length", 2, 0xFFFFFFFF},
          Case{"name past end", 2, 0x100}}) {
        std::string pkg;
        Put32(pkg, c.count);
        Put32(pkg, 2);
        PutName(pkg, u"a");
        Put32(pkg, 0);
        Put32(pkg, 0);
        Put32(pkg, c.nameLength);
        PutName(pkg, u"bb");
        GuardedBytes bytes(pkg);
        const PackageContents contents = ReadPackage(bytes.data(), bytes.size());
        EXPECT_TRUE(contents.truncatedHeaders) << c.what;
        PackageIndex index;
        index.BuildIndex(bytes.data(), bytes.size());
        EXPECT_EQ(index.EntryCount(), 1u) << c.what;
        EXPECT_NE(index.FindEntry(L"a").data, nullptr) << c.what;
    }
}

TEST(PackageIndex, EntriesPointingOutsideAreLeftOut) {
    struct Case {
        const char* what;
        uint32_t offset, size;
    };
    for (const Case& c :
         {Case{"offset past end", 0x1000, 1}, Case{"size past end", 20, 0x1000},
          Case{"wrapping sum", 0xFFFFFFF0, 0x20}, Case{"huge size", 0, 0xFFFFFFFF}}) {
        std::string pkg;
        Put32(pkg, 2);
        Put32(pkg, 2);
        PutName(pkg, u"a");
        Put32(pkg, c.offset);
        Put32(pkg, c.size);
        Put32(pkg, 2);
        PutName(pkg, u"b");
        Put32(pkg, 0);
        Put32(pkg, 4);
        GuardedBytes bytes(pkg);
        PackageIndex index;
        index.BuildIndex(bytes.data(), bytes.size());
        EXPECT_EQ(index.FindEntry(L"a").data, nullptr) << c.what;
        EXPECT_EQ(index.FindEntry(L"b").size, 4u) << c.what;
    }
}

TEST(PackageIndex, MissingPackageGivesNoEntries) {
    PackageIndex index;
    index.BuildIndex(nullptr, 0);
    EXPECT_EQ(index.FindEntry(L"xml\\main.xml").data, nullptr);
}

TEST(PackageFormat, WriterNamesAreLowerCaseWithBackslashes) {
    EXPECT_EQ(PackageNameOf(u"Img/Bg_Setup1.PNG"), u"img\\bg_setup1.png");
    const std::string pkg = Package(kSkin);
    const PackageContents c = ReadPackage(reinterpret_cast<const uint8_t*>(pkg.data()), pkg.size());
    ASSERT_EQ(c.entries.size(), 3u);
    // Data contiguous in header order, the last entry ending at the end.
    EXPECT_EQ(c.entries[1].offset, c.entries[0].offset + c.entries[0].size);
    EXPECT_EQ(c.entries[2].offset + c.entries[2].size, pkg.size());
}

}  // namespace
