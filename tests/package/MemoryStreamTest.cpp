#include <gtest/gtest.h>

#include <windows.h>

#include "PackageTestUtil.h"
#include "package/MemoryStream.h"

namespace {

TEST(MemoryStream, ReadDeliversWhatIsLeftThenFailsAtTheEnd) {
    GuardedBytes bytes("abcdef");
    MemoryStream s(bytes.data(), bytes.size());
    char buf[16] = {};
    size_t n = 4;
    ASSERT_EQ(s.Read(buf, &n), SZ_OK);
    EXPECT_EQ(std::string(buf, n), "abcd");
    n = 16;
    ASSERT_EQ(s.Read(buf, &n), SZ_OK);
    EXPECT_EQ(std::string(buf, n), "ef");
    n = 16;
    ::SetLastError(0);
    EXPECT_EQ(s.Read(buf, &n), SZ_ERROR_READ);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
}

TEST(MemoryStream, SeekFromEachOrigin) {
    GuardedBytes bytes("0123456789");
    MemoryStream s(bytes.data(), bytes.size());
    struct Case {
        ESzSeek origin;
        Int64 offset, expected;
    };
    for (const Case& c :
         {Case{SZ_SEEK_SET, 3, 3}, Case{SZ_SEEK_CUR, 2, 5}, Case{SZ_SEEK_END, -1, 9},
          Case{SZ_SEEK_CUR, -9, 0}, Case{SZ_SEEK_END, 0, 10}}) {
        Int64 pos = c.offset;
        ASSERT_EQ(s.Seek(&pos, c.origin), SZ_OK);
        EXPECT_EQ(pos, c.expected);
        EXPECT_EQ(s.Position(), static_cast<uint64_t>(c.expected));
    }
}

TEST(MemoryStream, NegativeSeekFailsAndKeepsThePosition) {
    GuardedBytes bytes("0123456789");
    MemoryStream s(bytes.data(), bytes.size());
    Int64 pos = 4;
    ASSERT_EQ(s.Seek(&pos, SZ_SEEK_SET), SZ_OK);
    for (Int64 bad : {Int64{-5}, INT64_MIN}) {
        pos = bad;
        EXPECT_EQ(s.Seek(&pos, SZ_SEEK_CUR), SZ_ERROR_PARAM);
        EXPECT_EQ(s.Position(), 4u);
    }
    pos = -11;
    EXPECT_EQ(s.Seek(&pos, SZ_SEEK_END), SZ_ERROR_PARAM);
    pos = INT64_MAX;
    EXPECT_EQ(s.Seek(&pos, SZ_SEEK_END), SZ_ERROR_PARAM);
    EXPECT_EQ(s.Position(), 4u);
}

TEST(MemoryStream, SeekPastTheEndIsAcceptedButReadFails) {
    GuardedBytes bytes("0123");
    MemoryStream s(bytes.data(), bytes.size());
    // Far beyond 32 bits: must not wrap around onto real data.
    for (Int64 target : {Int64{100}, Int64{0x100000001}}) {
        Int64 pos = target;
        ASSERT_EQ(s.Seek(&pos, SZ_SEEK_SET), SZ_OK);
        char c;
        size_t n = 1;
        EXPECT_EQ(s.Read(&c, &n), SZ_ERROR_READ);
    }
}

TEST(MemoryStream, PatchedHeadIsPresentedWithoutWritingTheData) {
    GuardedBytes bytes("XYZ-rest", /*readOnly=*/true);
    MemoryStream s(bytes.data(), bytes.size());
    const uint8_t patch[] = {'a', 'b'};
    s.PatchHead(patch, sizeof(patch));
    char buf[16];
    size_t n = 1;
    ASSERT_EQ(s.Read(buf, &n), SZ_OK);  // a read that covers part of the patch
    n = sizeof(buf);
    ASSERT_EQ(s.Read(buf + 1, &n), SZ_OK);
    EXPECT_EQ(std::string(buf, n + 1), "abZ-rest");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 3), "XYZ");
}

}  // namespace
