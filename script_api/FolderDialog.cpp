#include "script_api/FolderDialog.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

namespace {

constexpr size_t kPathUnits = MAX_PATH;

int CALLBACK SelectInitialFolder(HWND dialog, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

std::wstring BrowseForFolder(const std::wstring& initialFolder, const std::wstring& title,
                             HWND owner) {
    wchar_t result[kPathUnits] = {};
    wchar_t initial[kPathUnits] = {};
    // A folder that does not fit the dialog's buffers is not cut to some
    // other folder's name: the dialog starts at its default place instead.
    const bool fits = initialFolder.size() < kPathUnits;
    if (fits) {
        std::wcsncpy(result, initialFolder.c_str(), kPathUnits - 1);
        std::wcsncpy(initial, initialFolder.c_str(), kPathUnits - 1);
    }
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = result;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (fits && ::PathFileExistsW(initial)) {
        info.lpfn = SelectInitialFolder;
        info.lParam = reinterpret_cast<LPARAM>(initial);
    }
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
    if (!item) return {};
    std::wstring chosen;
    if (::SHGetPathFromIDListW(item, result)) chosen = result;
    ::CoTaskMemFree(item);
    return chosen;
}
