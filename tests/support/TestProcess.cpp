#include "support/TestProcess.h"

#include <atomic>
#include <thread>
#include <vector>

#include "app/Handles.h"
#include "app/TextConvert.h"

namespace {

std::wstring UnixToWindows(const char* unixPath) {
    // Paths baked in at build time are Linux paths; Wine maps / to Z:.
    std::wstring p = L"Z:" + Utf8ToWide(unixPath);
    for (auto& c : p) {
        if (c == L'/') c = L'\\';
    }
    return p;
}

}  // namespace

std::wstring Widen(const std::string& utf8) { return Utf8ToWide(utf8); }
std::string Narrow(const std::wstring& wide) { return WideToUtf8(wide); }

std::wstring TestInstallerPath(const std::wstring& fileName) {
    return UnixToWindows(SKINSETUP_TEST_INSTALLER_DIR) + L"\\" + fileName;
}

std::wstring TestHelperPath(const std::wstring& name) {
    return UnixToWindows(SKINSETUP_TEST_HELPER_DIR) + L"\\" + name + L".exe";
}

PROCESS_INFORMATION StartProcess(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                     &pi);
    return pi;
}

namespace {

// Reads what the child writes until it has ended and the pipe is drained.
// Polls instead of blocking: processes the child starts (Wine's desktop
// process among them) may inherit the pipe and keep it open for ever.
std::string DrainPipe(HANDLE pipe, HANDLE process) {
    std::string output;
    char buf[4096];
    for (;;) {
        DWORD avail = 0;
        const bool alive = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &avail, nullptr)) break;  // closed
        if (avail == 0) {
            if (!alive) break;
            ::Sleep(5);
            continue;
        }
        DWORD got = 0;
        if (!::ReadFile(pipe, buf, sizeof(buf) < avail ? sizeof(buf) : avail, &got, nullptr)) {
            break;
        }
        output.append(buf, got);
    }
    return output;
}

}  // namespace

ProcessResult RunProcess(const std::wstring& exe, const std::wstring& args, DWORD timeoutMs) {
    ProcessResult result;
    // Make sure the desktop process exists before the child could start it
    // with our pipe as its output.
    ::GetDesktopWindow();
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &sa, 0)) return result;
    UniqueHandleKernel readEnd(readRaw), writeEnd(writeRaw);
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd.get();
    si.hStdError = writeEnd.get();
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                          &pi)) {
        return result;
    }
    result.started = true;
    UniqueHandleKernel process(pi.hProcess), thread(pi.hThread);
    writeEnd.reset();

    std::string output;
    std::thread reader([&] { output = DrainPipe(readEnd.get(), process.get()); });
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        result.timedOut = true;
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
    reader.join();
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    result.output = output;
    return result;
}

std::wstring MakeScratchDir(const std::wstring& hint) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"skinsetup-test-" + hint + L"-" +
                       std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueFile f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(f.get(), buf, sizeof(buf), &got, nullptr) && got) out.append(buf, got);
    return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!f) return false;
    DWORD put = 0;
    return ::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
           put == bytes.size();
}
