// The installer's entry point; everything else is in the host library.
#include <windows.h>

#include <cxxabi.h>

#include "app/Startup.h"

// The runtime's default terminate handler names an escaping exception's type
// on stderr, demangled, and so pulls the whole name demangler (about 45 KB)
// into the executable. A windowed installer has no stderr: the demangler
// here declines every name (the handler then prints the raw name), so the
// outcome of an escaping exception, the process aborting, is unchanged.
namespace __cxxabiv1 {
extern "C" char* __cxa_demangle(const char*, char*, size_t*, int* status) {
    if (status) *status = -2;  // "not a valid name under the C++ ABI rules"
    return nullptr;
}
}  // namespace __cxxabiv1

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
