#pragma once
// The shell's folder dialog, opened at a given folder.
#include <windows.h>

#include <string>

// The chosen file-system folder, or empty text when the dialog was cancelled
// or the choice is no file-system folder. The dialog starts at
// `initialFolder` when it exists; one of 260 units or more is not used.
std::wstring BrowseForFolder(const std::wstring& initialFolder, const std::wstring& title,
                             HWND owner);
