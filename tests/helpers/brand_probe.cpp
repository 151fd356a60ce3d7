// Test helper: prints what the system reads of a program's branding, as the
// file's properties and the shell would: the fixed version and the version
// texts through the system's version reader, and the colours of its
// application icon (the first group icon) drawn at 32x32.
//   brand_probe.exe FILE
// Prints "version a.b.c.d", one "Key: text" line per text (UTF-8) and
// "icon centre RRGGBB corner RRGGBB"; exits 1 when something is missing.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/TextConvert.h"

namespace {

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

struct ModuleFree {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
struct IconFree {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DcFree {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectFree {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

template <typename Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

bool PrintVersion(const wchar_t* file) {
    // The system's copy only, never one beside this program.
    const Module version(::LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!version) return false;
    const auto getSize = Proc<GetSizeFn>(version.get(), "GetFileVersionInfoSizeW");
    const auto getInfo = Proc<GetInfoFn>(version.get(), "GetFileVersionInfoW");
    const auto query = Proc<QueryFn>(version.get(), "VerQueryValueW");
    DWORD ignored = 0;
    const DWORD size = getSize && getInfo && query ? getSize(file, &ignored) : 0;
    std::vector<BYTE> data(size);
    if (size == 0 || !getInfo(file, 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed ||
        !query(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
               &length) ||
        length < 4)
        return false;
    std::printf("version %lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16,
                fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                fixed->dwFileVersionLS & 0xFFFF);
    wchar_t table[64];
    std::swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    for (const wchar_t* key : {L"ProductName", L"CompanyName", L"FileDescription", L"FileVersion",
                               L"ProductVersion", L"LegalCopyright"}) {
        wchar_t* text = nullptr;
        if (query(data.data(), (std::wstring(table) + key).c_str(), reinterpret_cast<void**>(&text),
                  &length) &&
            text)
            std::printf("%s: %s\n", WideToUtf8(key).c_str(), WideToUtf8(text).c_str());
    }
    return true;
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    auto* out = reinterpret_cast<std::wstring*>(found);
    *out = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name;
    return FALSE;
}

const BYTE* Resource(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size) {
    HRSRC found = ::FindResourceW(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    size = found ? ::SizeofResource(module, found) : 0;
    return loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
}

// Chooses the 32x32 image of the first group icon as the shell does and
// draws it over black into a 32-bit bitmap.
bool PrintIcon(const wchar_t* file) {
    const Module module(
        ::LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    std::wstring group;
    if (!module) return false;
    ::EnumResourceNamesW(module.get(), MAKEINTRESOURCEW(14), FirstName,
                         reinterpret_cast<LONG_PTR>(&group));
    DWORD size = 0;
    const BYTE* directory =
        group.empty() ? nullptr : Resource(module.get(), group.c_str(), MAKEINTRESOURCEW(14), size);
    const int id = directory ? ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory), TRUE, 32,
                                                             32, LR_DEFAULTCOLOR)
                             : 0;
    const BYTE* bits =
        id ? Resource(module.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3), size) : nullptr;
    const std::unique_ptr<std::remove_pointer_t<HICON>, IconFree> icon(
        bits ? ::CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000, 32, 32,
                                          LR_DEFAULTCOLOR)
             : nullptr);
    if (!icon) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    const std::unique_ptr<std::remove_pointer_t<HDC>, DcFree> dc(::CreateCompatibleDC(nullptr));
    const std::unique_ptr<void, ObjectFree> bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!dc || !bitmap || !pixels) return false;
    const HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    const BOOL drawn = ::DrawIconEx(dc.get(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    ::SelectObject(dc.get(), old);
    const auto* p = static_cast<const DWORD*>(pixels);
    std::printf("icon centre %06lX corner %06lX\n", p[16 * 32 + 16] & 0xFFFFFF, p[0] & 0xFFFFFF);
    return drawn != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const bool version = PrintVersion(argv[1]);
    const bool icon = PrintIcon(argv[1]);
    if (!version) std::puts("no version information");
    if (!icon) std::puts("no icon");
    return version && icon ? 0 : 1;
}
