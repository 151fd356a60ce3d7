// What the firmware-table function and the management interface hand over is
// checked before the walk sees it.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "report/SmbiosReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A stand-in for the firmware-table function: it answers the size query with
// `sizeAnswer` and the copy with `copyAnswer` bytes of `table` (as the real
// function does, a size larger than the buffer is reported but not copied).
struct FakeFirmware {
    static Bytes table;
    static UINT sizeAnswer;
    static UINT copyAnswer;
    static DWORD provider;

    static UINT WINAPI Get(DWORD prov, DWORD, PVOID buffer, DWORD size) {
        provider = prov;
        if (!buffer) return sizeAnswer;
        if (copyAnswer <= size) std::memcpy(buffer, table.data(), copyAnswer);
        return copyAnswer;
    }
};
Bytes FakeFirmware::table;
UINT FakeFirmware::sizeAnswer = 0;
UINT FakeFirmware::copyAnswer = 0;
DWORD FakeFirmware::provider = 0;

TEST(FirmwareTable, HeaderIsCutAndSizesAreChecked) {
    const Bytes header = {0, 3, 4, 0, 6, 0, 0, 0};
    const Bytes structures = {127, 4, 0, 0, 0, 0};
    Bytes full = header;
    full.insert(full.end(), structures.begin(), structures.end());
    const UINT n = static_cast<UINT>(full.size());
    const struct {
        const char* name;
        UINT sizeAnswer, copyAnswer;
        bool ok;
        Bytes table;
    } cases[] = {
        {"whole table", n, n, true, structures},
        {"header only", 8, 8, true, {}},
        {"no table", 0, 0, false, {}},
        {"shorter than a header", 5, 5, false, {}},
        {"copy failed", n, 0, false, {}},
        {"grew between the calls", n - 2, n, false, {}},
        {"shrank between the calls", n, n - 2, true,
         Bytes(structures.begin(), structures.end() - 2)},
    };
    for (const auto& c : cases) {
        FakeFirmware::table = full;
        FakeFirmware::sizeAnswer = c.sizeAnswer;
        FakeFirmware::copyAnswer = c.copyAnswer;
        Bytes table = {0xEE};
        EXPECT_EQ(FirmwareSmbiosTable(FakeFirmware::Get, table), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(table, c.table) << c.name;
        }
        EXPECT_EQ(FakeFirmware::provider, 0x52534D42u);  // 'RSMB'
    }
}

// Owns a VARIANT for one case.
struct VariantCase {
    VARIANT v;
    VariantCase() { ::VariantInit(&v); }
    ~VariantCase() { ::VariantClear(&v); }
};

TEST(ManagementTable, OnlyAOneDimensionalByteArrayCounts) {
    Bytes out;
    {
        VariantCase c;
        V_VT(&c.v) = VT_ARRAY | VT_UI1;
        V_ARRAY(&c.v) = ::SafeArrayCreateVector(VT_UI1, 5, 3);  // lower bound 5
        void* data = nullptr;
        ASSERT_TRUE(SUCCEEDED(::SafeArrayAccessData(V_ARRAY(&c.v), &data)));
        std::memcpy(data, "\x01\x02\x03", 3);
        ::SafeArrayUnaccessData(V_ARRAY(&c.v));
        EXPECT_TRUE(SmbiosBytesFromVariant(c.v, out));
        EXPECT_EQ(out, (Bytes{1, 2, 3}));
    }
    {
        VariantCase c;
        V_VT(&c.v) = VT_ARRAY | VT_UI1;
        V_ARRAY(&c.v) = ::SafeArrayCreateVector(VT_UI1, 0, 0);
        EXPECT_TRUE(SmbiosBytesFromVariant(c.v, out));
        EXPECT_TRUE(out.empty());
    }
    {
        VariantCase c;  // what this system's management interface answers
        V_VT(&c.v) = VT_NULL;
        EXPECT_FALSE(SmbiosBytesFromVariant(c.v, out));
    }
    {
        VariantCase c;
        V_VT(&c.v) = VT_BSTR;
        V_BSTR(&c.v) = ::SysAllocString(L"table");
        EXPECT_FALSE(SmbiosBytesFromVariant(c.v, out));
    }
    {
        VariantCase c;
        V_VT(&c.v) = VT_ARRAY | VT_I4;
        V_ARRAY(&c.v) = ::SafeArrayCreateVector(VT_I4, 0, 4);
        EXPECT_FALSE(SmbiosBytesFromVariant(c.v, out));
    }
    {
        VariantCase c;
        SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
        V_VT(&c.v) = VT_ARRAY | VT_UI1;
        V_ARRAY(&c.v) = ::SafeArrayCreate(VT_UI1, 2, bounds);
        EXPECT_FALSE(SmbiosBytesFromVariant(c.v, out));
    }
    {
        VariantCase c;
        V_VT(&c.v) = VT_ARRAY | VT_UI1;
        V_ARRAY(&c.v) = nullptr;
        EXPECT_FALSE(SmbiosBytesFromVariant(c.v, out));
    }
}

}  // namespace
