#include "report/MacAddress.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <setupapi.h>
#include <winioctl.h>

#include <cwchar>

#include "app/Handles.h"

namespace {

const GUID kNetworkClass = {
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
// Device instances of this class are network adapters outside the PCI bus
// that still carry a permanent address.
constexpr wchar_t kListedClassPrefix[] = L"{1A3E09BE-1E45-494B-9174-D7385B45BBF5}";
constexpr wchar_t kNdisInterface[] = L"#{ad498944-762f-11d0-8dcb-00c04fc3358c}";
constexpr size_t kDevicePathUnits = 260;
constexpr size_t kInstanceIdUnits = 256;
constexpr DWORD kQueryGlobalStats = 0x00170002;     // IOCTL_NDIS_QUERY_GLOBAL_STATS
constexpr DWORD kPermanentAddressOid = 0x01010101;  // OID_802_3_PERMANENT_ADDRESS
constexpr UINT kMaxAdapterAddressLength = 1024;

struct DeviceListTraits {
    using Type = HDEVINFO;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::SetupDiDestroyDeviceInfoList(h); }
};
using UniqueDeviceList = UniqueHandle<DeviceListTraits>;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t n = std::wcslen(prefix);
    return text.size() >= n && ::_wcsnicmp(text.c_str(), prefix, n) == 0;
}

}  // namespace

bool IsMacCandidate(const std::wstring& instanceId) {
    return StartsWithNoCase(instanceId, L"PCI") || StartsWithNoCase(instanceId, kListedClassPrefix);
}

std::wstring NdisDevicePath(const std::wstring& instanceId) {
    std::wstring path = L"\\\\.\\";
    for (wchar_t c : instanceId) path += c == L'\\' ? L'#' : c;
    path += kNdisInterface;
    if (path.size() >= kDevicePathUnits) return {};
    return path;
}

bool QueryPermanentMac(const std::wstring& instanceId, MacBytes& mac) {
    const std::wstring path = NdisDevicePath(instanceId);
    if (path.empty()) return false;
    UniqueFile device(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!device) return false;
    DWORD oid = kPermanentAddressOid;
    uint8_t out[8] = {};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), kQueryGlobalStats, &oid, sizeof oid, out, sizeof out,
                           &returned, nullptr))
        return false;
    mac.fill(0);
    for (size_t i = 0; i < returned && i < mac.size(); ++i) mac[i] = out[i];
    return true;
}

void SmallestMac::Offer(const MacBytes& mac) {
    if (!found_ || mac < value_) value_ = mac;  // std::array compares bytes unsigned, in order
    found_ = true;
}

bool SmallestPermanentMac(MacBytes& mac) {
    UniqueDeviceList devices(
        ::SetupDiGetClassDevsW(&kNetworkClass, nullptr, nullptr, DIGCF_PRESENT));
    if (!devices) return false;
    SmallestMac smallest;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof device;
        if (!::SetupDiEnumDeviceInfo(devices.get(), index, &device)) break;
        wchar_t id[kInstanceIdUnits] = {};
        if (!::SetupDiGetDeviceInstanceIdW(devices.get(), &device, id, kInstanceIdUnits, nullptr))
            break;
        MacBytes candidate;
        if (IsMacCandidate(id) && QueryPermanentMac(id, candidate)) smallest.Offer(candidate);
    }
    if (smallest.Found()) mac = smallest.Value();
    return smallest.Found();
}

std::vector<uint8_t> AdapterListMac(const IP_ADAPTER_INFO* first) {
    for (const IP_ADAPTER_INFO* a = first; a; a = a->Next) {
        if (a->AddressLength >= kMaxAdapterAddressLength) return {};
        if (a->AddressLength == 0) continue;
        // The address field holds at most MAX_ADAPTER_ADDRESS_LENGTH bytes,
        // whatever length the adapter claims.
        const size_t n =
            a->AddressLength < sizeof a->Address ? a->AddressLength : sizeof a->Address;
        return std::vector<uint8_t>(a->Address, a->Address + n);
    }
    return {};
}

std::vector<uint8_t> AdapterInfoMac() {
    ULONG size = 0;
    if (::GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return {};
    std::vector<IP_ADAPTER_INFO> list((size + sizeof(IP_ADAPTER_INFO) - 1) /
                                      sizeof(IP_ADAPTER_INFO));
    if (::GetAdaptersInfo(list.data(), &size) != NO_ERROR) return {};
    return AdapterListMac(list.data());
}

std::vector<uint8_t> MachineMacAddress() {
    MacBytes mac;
    if (SmallestPermanentMac(mac)) return std::vector<uint8_t>(mac.begin(), mac.end());
    return AdapterInfoMac();
}
