// Host functions for registry values and keys. On a 64-bit system values are
// read and written in the 64-bit view, whichever build runs, and keys are
// deleted from both views.
#include "script_api/HostFunctions.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

#include "app/Handles.h"
#include "base/PathUtil.h"
#include "script_api/ScriptArgs.h"

namespace {

constexpr DWORD kStringBufferBytes = 520;  // 259 characters and the terminating zero
constexpr DWORD kSubkeyNameUnits = 256;

// Exact, case-sensitive root names; null when the text names none of them.
HKEY ResolveRoot(const std::wstring& text) {
    if (text == L"HKLM") return HKEY_LOCAL_MACHINE;
    if (text == L"HKCU") return HKEY_CURRENT_USER;
    if (text == L"HKCR") return HKEY_CLASSES_ROOT;
    return nullptr;
}

// The value functions take every other root name as the local machine.
HKEY ValueRoot(const std::wstring& text) {
    const HKEY root = ResolveRoot(text);
    return root ? root : HKEY_LOCAL_MACHINE;
}

REGSAM ValueView() { return Is64BitSystem() ? REGSAM{KEY_WOW64_64KEY} : REGSAM{0}; }

UniqueKey OpenKey(HKEY root, const std::wstring& subkey, REGSAM rights) {
    UniqueKey key;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, rights, key.put()) != ERROR_SUCCESS) {
        key.release();  // nothing was opened
    }
    return key;
}

using RegDeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// Looked up once: the export is missing on the oldest systems.
RegDeleteKeyExFn DeleteKeyEx() {
    static const RegDeleteKeyExFn fn = [] {
        const HMODULE advapi = ::GetModuleHandleW(L"Advapi32.dll");
        return advapi
                   ? reinterpret_cast<RegDeleteKeyExFn>(::GetProcAddress(advapi, "RegDeleteKeyExW"))
                   : nullptr;
    }();
    return fn;
}

using NtDeleteKeyFn = LONG(NTAPI*)(HANDLE);

// Deletes the key behind an open handle: a link opened as a link goes as a
// link, where a deletion by name would resolve it to its target.
NtDeleteKeyFn DeleteOpenKey() {
    static const NtDeleteKeyFn fn = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll ? reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(ntdll, "NtDeleteKey"))
                     : nullptr;
    }();
    return fn;
}

bool IsRegistryLink(HKEY key) {
    DWORD type = REG_NONE;
    const LONG result =
        ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    return (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type == REG_LINK;
}

// Deletes parent\name with every subkey, depth first; stops at the first
// subkey that cannot be deleted and leaves the rest in place. Keys are
// opened as themselves: a registry link is deleted, never entered.
LONG RecurseDeleteKey(HKEY parent, const wchar_t* name, REGSAM view) {
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK,
                                        KEY_READ | KEY_WRITE | DELETE | view, key.put());
    if (opened != ERROR_SUCCESS) {
        key.release();
        return opened;
    }
    const bool link = IsRegistryLink(key.get());
    while (!link) {
        // Always index 0: the subkey deleted before no longer exists.
        wchar_t subkey[kSubkeyNameUnits] = {};
        DWORD units = kSubkeyNameUnits;
        if (::RegEnumKeyExW(key.get(), 0, subkey, &units, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const LONG result = RecurseDeleteKey(key.get(), subkey, view);
        if (result != ERROR_SUCCESS) return result;
    }
    if (const NtDeleteKeyFn deleteOpen = DeleteOpenKey()) {
        return deleteOpen(key.get()) >= 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    }
    // Deleting by name would delete a link's target instead.
    if (link) return ERROR_ACCESS_DENIED;
    key.reset();
    if (const RegDeleteKeyExFn deleteEx = DeleteKeyEx()) return deleteEx(parent, name, view, 0);
    return ::RegDeleteKeyW(parent, name);
}

int lua_AddReg(lua_State* L) {
    const HKEY root = ValueRoot(ArgText(L, 1));
    const std::wstring subkey = ArgText(L, 2);
    const std::wstring name = ArgText(L, 3);
    const bool isString = ArgText(L, 4) == L"REG_SZ";
    const std::wstring text = isString ? ArgText(L, 5) : std::wstring();
    const DWORD number = isString ? 0 : static_cast<DWORD>(ArgInt(L, 5));
    const bool overwrite = ArgBool(L, 6);

    const REGSAM rights = KEY_ALL_ACCESS | ValueView();
    UniqueKey key = OpenKey(root, subkey, rights);
    if (!key && ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, rights,
                                  nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        key.release();
        return 0;
    }
    if (!overwrite && ::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr,
                                         nullptr) == ERROR_SUCCESS) {
        return 0;  // an existing value keeps its data, whatever its type
    }
    if (isString) {
        ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&number), sizeof(number));
    }
    return 0;
}

int lua_DelReg(lua_State* L) {
    const HKEY root = ValueRoot(ArgText(L, 1));
    const std::wstring subkey = ArgText(L, 2);
    const std::wstring name = ArgText(L, 3);
    if (UniqueKey key = OpenKey(root, subkey, KEY_ALL_ACCESS | ValueView())) {
        ::RegDeleteValueW(key.get(), name.c_str());
    }
    return 0;
}

// Reads up to `bytes` bytes of a value, whatever its type; false when the key
// or value cannot be read or the data does not fit.
bool QueryValue(lua_State* L, void* buffer, DWORD bytes) {
    const HKEY root = ValueRoot(ArgText(L, 1));
    const std::wstring subkey = ArgText(L, 2);
    const std::wstring name = ArgText(L, 3);
    UniqueKey key = OpenKey(root, subkey, KEY_READ | ValueView());
    if (!key) return false;
    DWORD size = bytes;
    return ::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer),
                              &size) == ERROR_SUCCESS;
}

int lua_QueryRegStr(lua_State* L) {
    wchar_t buffer[kStringBufferBytes / sizeof(wchar_t)] = {};
    std::wstring text;
    // Data without a terminating zero may fill the buffer: bounded by its size.
    if (QueryValue(L, buffer, kStringBufferBytes))
        text.assign(buffer, wcsnlen(buffer, std::size(buffer)));
    PushText(L, text);
    return 1;
}

int lua_QueryRegDword(lua_State* L) {
    DWORD value = 0;
    if (!QueryValue(L, &value, sizeof(value))) value = 0;
    PushUnsigned(L, value);
    return 1;
}

int lua_DelRegKey(lua_State* L) {
    const HKEY root = ResolveRoot(ArgText(L, 1));
    if (!root) return 0;
    const std::wstring subkey = ArgText(L, 2);
    const std::wstring name = ArgText(L, 3);
    // An empty name names the subkey itself (SOFTWARE, say), which would go
    // with everything under it: a missing key name deletes nothing.
    if (name.empty()) return 0;
    // On a 64-bit system both views, named explicitly so that the 64-bit
    // build also reaches the 32-bit view; otherwise the one default view.
    const REGSAM views[] = {Is64BitSystem() ? REGSAM{KEY_WOW64_32KEY} : REGSAM{0}, KEY_WOW64_64KEY};
    const size_t passes = Is64BitSystem() ? 2 : 1;
    for (size_t i = 0; i < passes; ++i) {
        if (UniqueKey key = OpenKey(root, subkey, KEY_ALL_ACCESS | views[i])) {
            RecurseDeleteKey(key.get(), name.c_str(), views[i]);
        }
    }
    return 0;
}

const HostFunction kFunctions[] = {
    {"lua_AddReg", lua_AddReg},           {"lua_DelReg", lua_DelReg},
    {"lua_QueryRegStr", lua_QueryRegStr}, {"lua_QueryRegDword", lua_QueryRegDword},
    {"lua_DelRegKey", lua_DelRegKey},
};

}  // namespace

HostFunctionList RegistryHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
