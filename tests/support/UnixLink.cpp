#include "support/UnixLink.h"

#include <windows.h>

#include <vector>

#include "support/TestProcess.h"

namespace {

using UnixFileNameFn = char*(CDECL*)(const wchar_t*);

// Runs a Linux shell command; Wine starts Linux programs given by their Linux
// path but does not report their exit, so callers poll for the effect.
bool RunUnixShell(const std::string& command) {
    // Wine splits the command line by Windows rules: one double-quoted
    // argument for the shell, whose own quotes are single ones.
    if (command.find('"') != std::string::npos) return false;
    std::wstring line = L"/bin/sh -c \"" + Widen(command) + L"\"";
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    // Given the test's own output, the Linux program would take it over and
    // the test's later output would be lost: it gets the null device.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE null =
        ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
    PROCESS_INFORMATION info = {};
    const BOOL started = ::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &info);
    if (null != INVALID_HANDLE_VALUE) ::CloseHandle(null);
    if (!started) return false;
    if (info.hThread) ::CloseHandle(info.hThread);
    if (info.hProcess) ::CloseHandle(info.hProcess);
    return true;
}

bool WaitFor(const std::wstring& path, bool present) {
    for (int i = 0; i < 200; ++i) {
        const bool exists = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (exists == present) return true;
        ::Sleep(25);
    }
    return false;
}

std::string DosDevices() {
    wchar_t prefix[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
    if (n == 0 || n >= 1024) return {};
    return Narrow(prefix) + "/dosdevices/";
}

}  // namespace

std::string UnixPathOf(const std::wstring& windowsPath) {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto convert =
        kernel
            ? reinterpret_cast<UnixFileNameFn>(::GetProcAddress(kernel, "wine_get_unix_file_name"))
            : nullptr;
    if (!convert) return {};
    char* unix = convert(windowsPath.c_str());
    if (!unix) return {};
    std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

bool MakeUnixLink(const std::wstring& link, const std::wstring& target) {
    const std::string from = UnixPathOf(link), to = UnixPathOf(target);
    if (from.empty() || to.empty()) return false;
    return RunUnixShell("ln -s '" + to + "' '" + from + "'") && WaitFor(link, true);
}

bool MapDriveLetter(wchar_t letter, const std::wstring& target) {
    const std::string devices = DosDevices(), to = UnixPathOf(target);
    if (devices.empty() || to.empty()) return false;
    const char drive = static_cast<char>(::towlower(letter));
    const std::wstring root = std::wstring(1, letter) + L":\\";
    return RunUnixShell("ln -sfn '" + to + "' '" + devices + drive + ":'") && WaitFor(root, true);
}

void RemoveDriveLetter(wchar_t letter) {
    const std::string devices = DosDevices();
    if (devices.empty()) return;
    const char drive = static_cast<char>(::towlower(letter));
    RunUnixShell("rm -f '" + devices + drive + ":'");
    WaitFor(std::wstring(1, letter) + L":\\", false);
}
