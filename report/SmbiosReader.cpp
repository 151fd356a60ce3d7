#include "report/SmbiosReader.h"

#include <windows.h>
#include <oleauto.h>
#include <wbemcli.h>

#include "app/Handles.h"
#include "report/SmbiosInfo.h"
#include "report/SmbiosTable.h"

namespace {

constexpr DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'
// Calling method, major, minor, DMI revision (a byte each), table length (32 bits).
constexpr size_t kRawSmbiosHeader = 8;

const CLSID kWbemLocatorClass = {
    0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
const IID kWbemLocatorInterface = {
    0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return s_; }

  private:
    BSTR s_;
};

class Variant {
  public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &v_; }

  private:
    VARIANT v_;
};

// COM for this thread in the multithreaded model, undone afterwards. A
// thread already in a single-threaded apartment keeps it: its COM is usable
// as it is and must not be uninitialised here.
class MultithreadedCom {
  public:
    MultithreadedCom() {
        const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        initialised_ = SUCCEEDED(hr);
        usable_ = initialised_ || hr == RPC_E_CHANGED_MODE;
    }
    ~MultithreadedCom() {
        if (initialised_) ::CoUninitialize();
    }
    MultithreadedCom(const MultithreadedCom&) = delete;
    MultithreadedCom& operator=(const MultithreadedCom&) = delete;
    bool usable() const { return usable_; }

  private:
    bool initialised_ = false;
    bool usable_ = false;
};

bool QueryRawTables(IWbemServices* services, std::vector<uint8_t>& table) {
    ComPtr<IEnumWbemClassObject> objects;
    Bstr className(L"MSSMBios_RawSMBiosTables");
    if (FAILED(services->CreateInstanceEnum(className.get(), 0, nullptr, objects.put())) ||
        !objects)
        return false;
    ComPtr<IWbemClassObject> first;
    ULONG returned = 0;
    if (objects->Next(WBEM_INFINITE, 1, first.put(), &returned) != WBEM_S_NO_ERROR ||
        returned != 1 || !first)
        return false;
    // The versions are read along with the data; the table carries what counts.
    Variant major, minor, data;
    first->Get(L"SmbiosMajorVersion", 0, major.get(), nullptr, nullptr);
    first->Get(L"SmbiosMinorVersion", 0, minor.get(), nullptr, nullptr);
    if (FAILED(first->Get(L"SMBiosData", 0, data.get(), nullptr, nullptr))) return false;
    return SmbiosBytesFromVariant(*data.get(), table);
}

}  // namespace

bool SmbiosBytesFromVariant(const VARIANT& value, std::vector<uint8_t>& out) {
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&value)) return false;
    SAFEARRAY* array = V_ARRAY(&value);
    LONG lower = 0, upper = -1;
    if (::SafeArrayGetDim(array) != 1 || ::SafeArrayGetElemsize(array) != 1 ||
        FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &upper)))
        return false;
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) return false;
    const size_t count =
        upper >= lower ? static_cast<size_t>(static_cast<int64_t>(upper) - lower + 1) : 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.assign(bytes, bytes + count);
    ::SafeArrayUnaccessData(array);
    return true;
}

bool FirmwareSmbiosTable(FirmwareTableFn get, std::vector<uint8_t>& table) {
    const UINT size = get(kRawSmbiosProvider, 0, nullptr, 0);
    if (size == 0) return false;
    std::vector<uint8_t> raw(size);
    const UINT got = get(kRawSmbiosProvider, 0, raw.data(), size);
    // A larger answer means the table grew between the calls and was not
    // copied; less than a header is no table.
    if (got == 0 || got > size || got < kRawSmbiosHeader) return false;
    table.assign(raw.begin() + kRawSmbiosHeader, raw.begin() + got);
    return true;
}

bool FirmwareSmbiosTable(std::vector<uint8_t>& table, bool& available) {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto get =
        kernel
            ? reinterpret_cast<FirmwareTableFn>(::GetProcAddress(kernel, "GetSystemFirmwareTable"))
            : nullptr;
    available = get != nullptr;
    return get && FirmwareSmbiosTable(get, table);
}

bool ManagementSmbiosTable(std::vector<uint8_t>& table) {
    MultithreadedCom com;
    if (!com.usable()) return false;
    ComPtr<IWbemLocator> locator;
    if (FAILED(::CoCreateInstance(kWbemLocatorClass, nullptr, CLSCTX_INPROC_SERVER,
                                  kWbemLocatorInterface, locator.put_void())) ||
        !locator)
        return false;
    ComPtr<IWbemServices> services;
    Bstr ns(L"ROOT\\WMI");
    if (FAILED(locator->ConnectServer(ns.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.put())) ||
        !services)
        return false;
    // An in-process service has no proxy to configure; the query decides.
    ::CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                        RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    return QueryRawTables(services.get(), table);
}

bool ReadSmbios(SmbiosInfo& info) {
    std::vector<uint8_t> table;
    bool available = false;
    const bool got =
        FirmwareSmbiosTable(table, available) || (!available && ManagementSmbiosTable(table));
    if (!got) return false;
    const SmbiosTable walked = SmbiosTable::Walk(
        table.data(), table.size(), {SmbiosInfo::kSystemType, SmbiosInfo::kEnclosureType});
    info = SmbiosInfo::FromTable(walked);
    return true;
}
