// The installer's entry point; everything else is in the host library.
#include <windows.h>

#include "app/Startup.h"

namespace {

// Before any DLL that is not a KnownDLL is loaded (every such DLL is
// delay-loaded), restrict the search to System32: the installer runs
// elevated, often from a Downloads folder where a DLL could be planted.
void RestrictDllSearch() {
    using Fn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(kernel, "SetDefaultDllDirectories"));
    if (fn) fn(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");  // also drops the current folder on older systems
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    return RunInstaller();
}
