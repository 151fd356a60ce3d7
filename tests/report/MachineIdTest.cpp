// The machine id: its sources, their order, the digest, and its stability.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <objbase.h>
#include <setupapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "report/IdentityBuffer.h"
#include "report/MacAddress.h"
#include "report/MachineId.h"
#include "report/Md5Digest.h"
#include "report/SmbiosInfo.h"
#include "report/SmbiosReader.h"
#include "report/SmbiosTable.h"
#include "support/TestProcess.h"

namespace {

bool IsLowerHex32(const std::string& id) {
    if (id.size() != 32) return false;
    for (char c : id) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

TEST(Md5Digest, KnownDigests) {
    const struct {
        const char* text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Md5Hex(c.text, std::strlen(c.text)), c.digest) << c.text;
    }
    const unsigned char bytes[] = {0x00, 0x0F, 0xA0, 0xFF};
    EXPECT_EQ(LowerHex(bytes, sizeof bytes), "000fa0ff");
}

TEST(IdentityBuffer, PartsAreCutToTheRoomLeft) {
    IdentityBuffer b;
    const std::vector<uint8_t> big(1000, 0xAB);
    EXPECT_EQ(b.Append(big.data(), big.size()), 1000u);
    b.AppendLe32(0x04030201);
    EXPECT_EQ(b.Data()[1000], 1);
    EXPECT_EQ(b.Data()[1003], 4);
    EXPECT_EQ(b.Append(std::string(100, 'z')), 20u);
    EXPECT_EQ(b.Size(), 1024u);
    EXPECT_EQ(b.Append("more"), 0u);
    b.AppendLe32(7);
    EXPECT_EQ(b.Size(), 1024u);
    EXPECT_EQ(b.Data()[1023], 'z');
}

TEST(MacAddress, SmallestPermanentAddressWinsInAnyOrder) {
    const MacBytes a = {0x00, 0x1B, 0x21, 0xFF, 0xFF, 0xFF};
    const MacBytes b = {0x00, 0x1C, 0x00, 0x00, 0x00, 0x00};
    const MacBytes high = {0x80, 0x00, 0x00, 0x00, 0x00, 0x00};  // compared unsigned
    const MacBytes low = {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<std::vector<MacBytes>> orders = {
        {a, b}, {b, a}, {high, low, b, a}, {a, high, low}, {b, b, a}};
    for (const auto& order : orders) {
        SmallestMac s;
        EXPECT_FALSE(s.Found());
        for (const MacBytes& m : order) s.Offer(m);
        EXPECT_TRUE(s.Found());
        EXPECT_EQ(s.Value(), a);
    }
    SmallestMac s;
    s.Offer(high);
    s.Offer(low);
    EXPECT_EQ(s.Value(), low);
}

TEST(MacAddress, OnlyPciAndListedClassDevicesAreAsked) {
    const struct {
        const wchar_t* id;
        bool candidate;
    } cases[] = {
        {L"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", true},
        {L"pci\\ven_10ec", true},
        {L"PCI", true},
        {L"{1A3E09BE-1E45-494B-9174-D7385B45BBF5}\\VEN_1", true},
        {L"{1a3e09be-1e45-494b-9174-d7385b45bbf5}", true},
        {L"{1A3E09BE-1E45-494B-9174-D7385B45BBF}", false},  // one digit short
        {L"ROOT\\NET\\0000", false},
        {L"USB\\VID_0B95&PID_1790\\1", false},
        {L"SWD\\MSRRAS\\MS_NDISWANIP", false},
        {L"PC", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsMacCandidate(c.id), c.candidate) << Narrow(c.id);
    }
}

TEST(MacAddress, DevicePathOfAnInstanceId) {
    EXPECT_EQ(NdisDevicePath(L"PCI\\VEN_1&DEV_2\\3&4"),
              L"\\\\.\\PCI#VEN_1&DEV_2#3&4#{ad498944-762f-11d0-8dcb-00c04fc3358c}");
    // The path buffer holds 259 units and the terminator; longer ids have no path.
    const size_t fixed = NdisDevicePath(L"").size();
    EXPECT_EQ(NdisDevicePath(std::wstring(259 - fixed, L'P')).size(), 259u);
    EXPECT_EQ(NdisDevicePath(std::wstring(260 - fixed, L'P')), L"");
    EXPECT_EQ(NdisDevicePath(std::wstring(255, L'P')), L"");
    MacBytes mac;
    EXPECT_FALSE(QueryPermanentMac(std::wstring(255, L'P'), mac));
    EXPECT_FALSE(QueryPermanentMac(L"PCI\\NO_SUCH_DEVICE\\0", mac));
}

// Adapter lists are linked records; the test builds them in a vector.
std::vector<IP_ADAPTER_INFO> AdapterList(const std::vector<std::pair<UINT, uint8_t>>& adapters) {
    std::vector<IP_ADAPTER_INFO> list(adapters.size());
    for (size_t i = 0; i < adapters.size(); ++i) {
        list[i] = IP_ADAPTER_INFO{};
        list[i].AddressLength = adapters[i].first;
        for (size_t k = 0; k < sizeof list[i].Address; ++k)
            list[i].Address[k] = static_cast<BYTE>(adapters[i].second + k);
        if (i + 1 < adapters.size()) list[i].Next = &list[i + 1];
    }
    return list;
}

TEST(MacAddress, AdapterListFallback) {
    using Adapters = std::vector<std::pair<UINT, uint8_t>>;
    const struct {
        const char* name;
        Adapters adapters;
        std::vector<uint8_t> expected;
    } cases[] = {
        {"first with an address",
         {{0, 0x10}, {6, 0x20}, {6, 0x01}},
         {0x20, 0x21, 0x22, 0x23, 0x24, 0x25}},
        {"shorter address", {{4, 0x30}}, {0x30, 0x31, 0x32, 0x33}},
        {"no addresses", {{0, 0x10}, {0, 0x20}}, {}},
        {"oversized length ends the walk", {{0, 0x10}, {1024, 0x20}, {6, 0x30}}, {}},
        {"length past the field", {{20, 0x40}}, {0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47}},
        {"empty list", {}, {}},
    };
    for (const auto& c : cases) {
        const std::vector<IP_ADAPTER_INFO> list = AdapterList(c.adapters);
        EXPECT_EQ(AdapterListMac(list.empty() ? nullptr : list.data()), c.expected) << c.name;
    }
}

TEST(MachineId, DigestOfTheSourcesInOrder) {
    const std::string id = ComputeMachineId();
    EXPECT_TRUE(IsLowerHex32(id)) << id;
    EXPECT_EQ(ComputeMachineId(), id);

    // The same bytes, put together from the sources one by one.
    std::string expected;
    // The device walk's address when a physical adapter answers, else the
    // adapter list's.
    MacBytes permanent;
    const std::vector<uint8_t> mac = SmallestPermanentMac(permanent)
                                         ? std::vector<uint8_t>(permanent.begin(), permanent.end())
                                         : AdapterInfoMac();
    EXPECT_EQ(MachineMacAddress(), mac);
    expected.append(mac.begin(), mac.end());
    for (uint32_t v : ProcessorValues()) {
        for (int i = 0; i < 4; ++i) expected += static_cast<char>(v >> (8 * i));
    }
    SmbiosInfo info;
    if (ReadSmbios(info)) expected += info.IdentityText();
    expected.resize(std::min<size_t>(expected.size(), IdentityBuffer::kCapacity));

    IdentityBuffer buffer;
    FillIdentityBuffer(buffer);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size()), expected);
    EXPECT_EQ(id, Md5Hex(expected.data(), expected.size()));
}

TEST(MachineId, ProcessorValuesLeaveOutTheCoreNumber) {
    const std::array<uint32_t, 11> v = ProcessorValues();
    // Leaf 0 names the vendor in EBX, EDX, ECX.
    char vendor[13] = {};
    std::memcpy(vendor, &v[1], 4);
    std::memcpy(vendor + 4, &v[3], 4);
    std::memcpy(vendor + 8, &v[2], 4);
    EXPECT_GT(v[0], 0u);
    EXPECT_TRUE(std::string(vendor) == "GenuineIntel" || std::string(vendor) == "AuthenticAMD" ||
                std::string(vendor).size() == 12)
        << vendor;
    // The same on every thread, whichever core runs it.
    std::array<uint32_t, 11> other{};
    std::thread([&] { other = ProcessorValues(); }).join();
    EXPECT_EQ(other, v);
}

// The management interface serves the same table as the firmware function,
// also to a thread whose COM is single-threaded (the installer's UI thread).
TEST(MachineId, ManagementInterfaceGivesTheFirmwareTable) {
    std::vector<uint8_t> firmware;
    bool available = false;
    const bool haveFirmware = FirmwareSmbiosTable(firmware, available);
    std::vector<uint8_t> mtaTable, staTable;
    bool mta = false, sta = false;
    std::thread([&] { mta = ManagementSmbiosTable(mtaTable); }).join();
    std::thread([&] {
        ::CoInitialize(nullptr);
        sta = ManagementSmbiosTable(staTable);
        ::CoUninitialize();
    }).join();
    // A thread in a single-threaded apartment gets the same answer.
    EXPECT_EQ(sta, mta);
    EXPECT_EQ(staTable, mtaTable);
    if (!haveFirmware || !mta)
        GTEST_SKIP() << "firmware table " << haveFirmware << ", management interface " << mta;
    EXPECT_EQ(mtaTable, firmware);
}

// The instance ids of the present network-class devices.
std::vector<std::wstring> NetworkDevices() {
    const GUID netClass = {
        0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
    std::vector<std::wstring> ids;
    HDEVINFO list = ::SetupDiGetClassDevsW(&netClass, nullptr, nullptr, DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) return ids;
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(list, i, &d); ++i) {
        wchar_t id[256] = {};
        if (::SetupDiGetDeviceInstanceIdW(list, &d, id, 256, nullptr)) ids.push_back(id);
    }
    ::SetupDiDestroyDeviceInfoList(list);
    return ids;
}

// Not a check: shows which identity sources this system provides.
TEST(MachineId, SourcesOfThisSystem) {
    for (const std::wstring& id : NetworkDevices()) {
        std::printf("network device: %s (asked: %s)\n", Narrow(id).c_str(),
                    IsMacCandidate(id) ? "yes" : "no");
    }
    MacBytes mac;
    const bool device = SmallestPermanentMac(mac);
    const std::vector<uint8_t> adapters = AdapterInfoMac();
    std::vector<uint8_t> table;
    bool available = false;
    const bool firmware = FirmwareSmbiosTable(table, available);
    std::vector<uint8_t> wmiTable;
    bool wmi = false;
    std::thread([&] { wmi = ManagementSmbiosTable(wmiTable); }).join();
    SmbiosInfo info;
    const bool smbios = ReadSmbios(info);
    const SmbiosTable walked = SmbiosTable::Walk(table.data(), table.size(), {1, 3});
    std::printf(
        "device walk permanent address: %s\n"
        "adapter list address bytes: %zu (%s)\n"
        "firmware table function: %s, table %s, %zu bytes, %zu type-1/3 structures\n"
        "management interface table: %s, %zu bytes\n"
        "SMBIOS identity text: %s [%s]\n"
        "machine id: %s\n",
        device ? LowerHex(mac.data(), mac.size()).c_str() : "none", adapters.size(),
        LowerHex(adapters.data(), adapters.size()).c_str(), available ? "present" : "missing",
        firmware ? "read" : "failed", table.size(), walked.Structures().size(),
        wmi ? "read" : "failed", wmiTable.size(), smbios ? "read" : "none",
        info.IdentityText().c_str(), ComputeMachineId().c_str());

    // One whole computation, as the first report of a process pays it.
    LARGE_INTEGER freq, start, end;
    ::QueryPerformanceFrequency(&freq);
    const int runs = 5;
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < runs; ++i) ComputeMachineId();
    ::QueryPerformanceCounter(&end);
    std::printf("machine id computation: %.2f ms each (%d runs)\n",
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(freq.QuadPart) / runs,
                runs);
}

}  // namespace
