#include "script_api/ShellStarter.h"

#include <shellapi.h>

#include "app/Handles.h"

namespace {

// Empty text is passed as "none", which lets the shell pick the default.
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

void ShellStarter::Execute(const std::wstring& verb, const std::wstring& file,
                           const std::wstring& parameters, int show) {
    ::ShellExecuteW(nullptr, OrNull(verb), file.c_str(), OrNull(parameters), nullptr, show);
}

uint32_t ShellStarter::ExecuteAndWait(const std::wstring& file, const std::wstring& parameters,
                                      bool wait) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = OrNull(parameters);
    info.nShow = SW_SHOWNORMAL;
    const bool ok = ::ShellExecuteExW(&info) != FALSE;
    UniqueHandleKernel process(info.hProcess);
    if (ok && wait && process) ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0xFFFFFFFFu;
    if (process && !::GetExitCodeProcess(process.get(), &code)) code = 0xFFFFFFFFu;
    return code;
}

void ShellStarter::ExecuteByUser(const std::wstring& verb, const std::wstring& file,
                                 const std::wstring& parameters, int show, ExecuteFn execute) {
    const std::wstring command = L"command=" + file;
    if (Started(
            execute(nullptr, L"open", L"explorer.exe", command.c_str(), nullptr, SW_SHOWNORMAL))) {
        return;
    }
    execute(nullptr, OrNull(verb), file.c_str(), OrNull(parameters), nullptr, show);
}
