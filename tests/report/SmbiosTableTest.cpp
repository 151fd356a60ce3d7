// The firmware table is untrusted input: crafted tables must give the right
// texts or nothing, and never a read outside the table.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "report/SmbiosInfo.h"
#include "report/SmbiosTable.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A structure: type, formatted length, handle, the remaining formatted bytes,
// then the string set (each text zero-terminated, then the closing zero).
Bytes Structure(uint8_t type, Bytes formattedTail, const std::vector<std::string>& strings) {
    Bytes b = {type, static_cast<uint8_t>(4 + formattedTail.size()), 0x00, 0x01};
    for (uint8_t x : formattedTail) b.push_back(x);
    for (const std::string& s : strings) {
        for (char c : s) b.push_back(static_cast<uint8_t>(c));
        b.push_back(0);
    }
    if (strings.empty()) b.push_back(0);
    b.push_back(0);
    return b;
}

// A full-size System Information structure (27 formatted bytes): strings
// 1..5 are manufacturer, product, version, serial and SKU.
Bytes System(const std::vector<std::string>& strings = {"Maker", "Model", "V1", "SN1", "SKU1"}) {
    Bytes tail(23, 0);
    tail[0] = 1;   // manufacturer (offset 4)
    tail[1] = 2;   // product (5)
    tail[2] = 3;   // version (6)
    tail[3] = 4;   // serial (7)
    tail[21] = 5;  // SKU (25)
    return Structure(1, tail, strings);
}

Bytes Enclosure(uint8_t chassis,
                const std::vector<std::string>& strings = {"CaseCo", "CV", "CSN", "TAG"}) {
    // manufacturer 1, type byte, version 2, serial 3, asset tag 4
    return Structure(3, {1, chassis, 2, 3, 4, 0x03, 0x03, 0x03, 0x03}, strings);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        for (uint8_t x : p) out.push_back(x);
    }
    return out;
}

SmbiosInfo InfoOf(const Bytes& table) {
    return SmbiosInfo::FromTable(SmbiosTable::Walk(table.data(), table.size(), {1, 3}));
}

// Bytes placed right before an inaccessible page: a read past their end
// faults instead of passing unnoticed.
class GuardedBytes {
  public:
    explicit GuardedBytes(const Bytes& bytes) {
        SYSTEM_INFO si;
        ::GetSystemInfo(&si);
        page_ = si.dwPageSize;
        base_ = static_cast<uint8_t*>(
            ::VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        data_ = base_ + page_ - bytes.size();
        std::copy(bytes.begin(), bytes.end(), data_);
    }
    ~GuardedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const uint8_t* data() const { return data_; }

  private:
    size_t page_ = 0;
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

// Walks every prefix of the table with its end against an inaccessible page,
// and reads every text of what was kept.
void WalkEveryPrefix(const Bytes& table) {
    for (size_t n = 0; n <= table.size(); ++n) {
        const GuardedBytes prefix(Bytes(table.begin(), table.begin() + static_cast<ptrdiff_t>(n)));
        const SmbiosTable t = SmbiosTable::Walk(prefix.data(), n, {1, 3});
        size_t kept = 0;
        for (const SmbiosStructure& s : t.Structures()) {
            kept += s.TotalLength();
            for (int k = 0; k < 256; ++k) s.String(static_cast<uint8_t>(k));
        }
        EXPECT_LE(kept, n);
        SmbiosInfo::FromTable(t).IdentityText();
    }
}

TEST(SmbiosTable, FullTableFillsEveryText) {
    const Bytes table =
        Concat({Structure(0, {1, 2}, {"BIOS"}), System(), Enclosure(3), Structure(127, {}, {})});
    const SmbiosInfo info = InfoOf(table);
    EXPECT_EQ(info.systemManufacturer, "Maker");
    EXPECT_EQ(info.systemProduct, "Model");
    EXPECT_EQ(info.systemVersion, "V1");
    EXPECT_EQ(info.systemSerial, "SN1");
    EXPECT_EQ(info.systemSku, "SKU1");
    EXPECT_EQ(info.enclosureManufacturer, "CaseCo");
    EXPECT_EQ(info.chassisClass, "Desktop");
    EXPECT_EQ(info.enclosureVersion, "CV");
    EXPECT_EQ(info.enclosureSerial, "CSN");
    EXPECT_EQ(info.enclosureAssetTag, "TAG");
    EXPECT_EQ(info.reserved, "");
    // Asset tag, enclosure maker, enclosure serial, class, enclosure version,
    // the empty text, system maker, product, serial, SKU, version.
    EXPECT_EQ(info.IdentityText(), "TAGCaseCoCSNDesktopCVMakerModelSN1SKU1V1");
}

TEST(SmbiosTable, ChassisClassFromTheWholeTypeByte) {
    const struct {
        uint8_t type;
        const char* expected;
    } cases[] = {
        {3, "Desktop"},    {9, "Desktop"},                       // laptop
        {10, "NoteBook"},  {14, "NoteBook"}, {0x8A, "Desktop"},  // 10 with the lock bit
        {0x8E, "Desktop"}, {0, "Desktop"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InfoOf(Enclosure(c.type)).chassisClass, c.expected) << int(c.type);
    }
}

TEST(SmbiosTable, WithoutEnclosureTheChassisClassStaysEmpty) {
    const SmbiosInfo info = InfoOf(System());
    EXPECT_EQ(info.chassisClass, "");
    EXPECT_EQ(info.IdentityText(), "MakerModelSN1SKU1V1");
}

TEST(SmbiosTable, ShortStructuresContributeNothing) {
    // A version 2.0 System Information structure: 8 formatted bytes and one
    // short text, 26 bytes in all.
    const Bytes shortSystem = Structure(1, {1, 1, 1, 1}, {"Abcdefghijklmnop"});
    ASSERT_EQ(shortSystem.size(), 26u);
    // Exactly 27 bytes counts.
    const Bytes system27 = Structure(1, {1, 1, 1, 1}, {"Abcdefghijklmnopq"});
    ASSERT_EQ(system27.size(), 27u);
    // An enclosure of 8 bytes in all: 6 formatted bytes and an empty set.
    const Bytes shortEnclosure = Structure(3, {1, 10}, {});
    ASSERT_EQ(shortEnclosure.size(), 8u);

    EXPECT_EQ(InfoOf(shortSystem).IdentityText(), "");
    EXPECT_EQ(InfoOf(system27).systemManufacturer, "Abcdefghijklmnopq");
    const SmbiosInfo e = InfoOf(shortEnclosure);
    EXPECT_EQ(e.chassisClass, "");
    EXPECT_EQ(e.IdentityText(), "");
}

TEST(SmbiosTable, OnlyTheFirstStructureOfATypeCounts) {
    const Bytes table =
        Concat({System({"First", "P", "V", "S", "K"}), System({"Second", "P2", "V2", "S2", "K2"}),
                Enclosure(10), Enclosure(3, {"Other", "x", "y", "z"})});
    const SmbiosTable t = SmbiosTable::Walk(table.data(), table.size(), {1, 3});
    ASSERT_EQ(t.Structures().size(), 4u);  // both copies are kept, in order
    EXPECT_EQ(t.Structures()[1].String(1), "Second");
    const SmbiosInfo info = SmbiosInfo::FromTable(t);
    EXPECT_EQ(info.systemManufacturer, "First");
    EXPECT_EQ(info.enclosureManufacturer, "CaseCo");
    EXPECT_EQ(info.chassisClass, "NoteBook");
}

TEST(SmbiosTable, UnwantedTypesAreSkippedNotKept) {
    const Bytes table = Concat({Structure(4, {9, 9, 9}, {"CPU", "x"}), Enclosure(3)});
    const SmbiosTable t = SmbiosTable::Walk(table.data(), table.size(), {1, 3});
    ASSERT_EQ(t.Structures().size(), 1u);
    EXPECT_EQ(t.Structures()[0].Type(), 3);
}

TEST(SmbiosTable, StringNumbersOutsideTheSetGiveEmptyText) {
    const Bytes s = Structure(1, Bytes(23, 0), {"one", "two"});
    const SmbiosStructure st(s);
    EXPECT_EQ(st.String(0), "");
    EXPECT_EQ(st.String(1), "one");
    EXPECT_EQ(st.String(2), "two");
    EXPECT_EQ(st.String(3), "");
    EXPECT_EQ(st.String(255), "");
    // System fields naming strings 9, 200 and 255 in a set of one.
    Bytes tail(23, 0);
    tail[0] = 9;
    tail[1] = 200;
    tail[2] = 255;
    tail[3] = 1;
    const SmbiosInfo info = InfoOf(Structure(1, tail, {"only"}));
    EXPECT_EQ(info.systemManufacturer, "");
    EXPECT_EQ(info.systemProduct, "");
    EXPECT_EQ(info.systemVersion, "");
    EXPECT_EQ(info.systemSerial, "only");
    EXPECT_EQ(SmbiosStructure(Structure(3, {}, {})).String(1), "");  // empty set
}

TEST(SmbiosTable, TruncatedTablesKeepOnlyWholeStructures) {
    const Bytes system = System();
    const Bytes enclosure = Enclosure(10);
    const Bytes table = Concat({system, enclosure});
    // Cut inside the enclosure's string set: the system structure survives.
    for (size_t cut = system.size(); cut < table.size(); ++cut) {
        const SmbiosInfo info = InfoOf(Bytes(table.begin(), table.begin() + cut));
        EXPECT_EQ(info.systemManufacturer, "Maker") << cut;
        EXPECT_EQ(info.chassisClass, "") << cut;
    }
    EXPECT_EQ(InfoOf(table).chassisClass, "NoteBook");
    WalkEveryPrefix(table);
}

TEST(SmbiosTable, HostileLengthsNeverReadPastTheEnd) {
    const struct {
        const char* name;
        Bytes table;
    } cases[] = {
        {"empty", {}},
        {"one byte", {1}},
        {"length past the end", {1, 0xFF, 0, 0, 0, 0}},
        {"length reaching the end", {1, 6, 0, 0, 0, 0}},
        {"string set without its pair", Concat({Enclosure(3), {1, 4, 0, 0, 'a', 'b', 0}})},
        {"set of one zero at the end", {3, 4, 0, 0, 0}},
        {"zero length", {1, 0, 0, 0, 3, 0, 0, 0}},
        {"length one", {3, 1, 0, 0}},
        {"no terminating pair at all", Bytes(300, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WalkEveryPrefix(c.table);
    }
    // A structure whose string set is not terminated is dropped, while the
    // whole structure before it is kept.
    const SmbiosInfo info = InfoOf(cases[4].table);
    EXPECT_EQ(info.chassisClass, "Desktop");
    EXPECT_EQ(info.systemManufacturer, "");
    // A stray type byte after the last structure ends the walk quietly.
    EXPECT_EQ(InfoOf(Concat({Enclosure(14), {1}})).chassisClass, "NoteBook");
}

}  // namespace
