// Test helper: exits with the code given as its first argument.
//   exit_with.exe CODE [RECORD-FILE [...]]
// With a second argument it first writes its whole command line (UTF-8) and
// its working folder, one per line, to that file, so tests can see how it
// was started.
#include <windows.h>

#include <cwchar>
#include <string>

#include "app/TextConvert.h"

namespace {

void Record(const wchar_t* file) {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    const std::string text = WideToUtf8(::GetCommandLineW()) + "\n" + WideToUtf8(folder) + "\n";
    // Written under a temporary name and renamed, so a reader never sees half.
    const std::wstring temp = std::wstring(file) + L".part";
    HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    ::CloseHandle(h);
    ::MoveFileExW(temp.c_str(), file, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 2) Record(argv[2]);
    const unsigned long code = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 0;
    ::ExitProcess(static_cast<UINT>(code));
}
