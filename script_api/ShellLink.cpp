#include "script_api/ShellLink.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/Handles.h"
#include "base/PathUtil.h"

namespace {

// Expands environment variables into a path-sized buffer; false when the
// expansion fails or does not fit, so a cut path is never used.
bool ExpandPath(const std::wstring& text, std::wstring* out) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), buffer, MAX_PATH);
    if (needed == 0 || needed > MAX_PATH) return false;
    *out = buffer;
    return true;
}

// The path without its last component, as the shell computes it.
std::wstring ParentOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    if (path.size() >= MAX_PATH) return {};
    path.copy(buffer, path.size());
    ::PathRemoveFileSpecW(buffer);
    return buffer;
}

void SaveLink(const std::wstring& link, const std::wstring& target, const std::wstring& arguments) {
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                  shellLink.put_void()))) {
        return;
    }
    if (FAILED(shellLink->SetPath(target.c_str()))) return;
    if (!arguments.empty()) shellLink->SetArguments(arguments.c_str());
    if (FAILED(shellLink->SetWorkingDirectory(ParentOf(target).c_str()))) return;
    ComPtr<IPersistFile> file = shellLink.As<IPersistFile>(IID_IPersistFile);
    if (file) file->Save(link.c_str(), TRUE);
}

}  // namespace

std::wstring ShortcutFile(const std::wstring& folder, const std::wstring& name) {
    return JoinPath(folder, name + L".lnk");
}

void CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::wstring& name, const std::wstring& arguments) {
    // A folder that could not be looked up would put the link at the root
    // of the current drive.
    if (folder.empty()) return;
    ComApartment com;
    std::wstring link, expandedTarget;
    if (!ExpandPath(ShortcutFile(folder, name), &link)) return;
    // The folder the link really goes to: the expanded one.
    const std::wstring linkFolder = ParentOf(link);
    if (!linkFolder.empty() && !::PathFileExistsW(linkFolder.c_str())) {
        ::SHCreateDirectory(nullptr, linkFolder.c_str());
    }
    if (!ExpandPath(target, &expandedTarget)) return;
    SaveLink(link, expandedTarget, arguments);
}

std::wstring GetQuickLaunchDir() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData)) || !appData[0]) {
        return {};
    }
    return JoinPath(appData, L"Microsoft\\Internet Explorer\\Quick Launch");
}
