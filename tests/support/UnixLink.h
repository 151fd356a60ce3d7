#pragma once
// Symbolic links made on the Linux side of Wine, where the tests run: the
// system's own link calls do nothing there, while a Linux link shows to
// Windows programs as a reparse point. Also second drive letters, which
// are links in the prefix's dosdevices folder.
#include <string>

// The Linux path of a Windows path; empty when not running under Wine.
std::string UnixPathOf(const std::wstring& windowsPath);
// Makes `link` (a Windows path that must not exist) a link to `target`;
// false when that is not possible here.
bool MakeUnixLink(const std::wstring& link, const std::wstring& target);
// Maps drive `letter` to the folder `target` (a Windows path); false when
// that is not possible here. RemoveDriveLetter undoes it.
bool MapDriveLetter(wchar_t letter, const std::wstring& target);
void RemoveDriveLetter(wchar_t letter);
