#pragma once
// Checks that keep an elevated installer's deletes and writes where they
// belong: fully qualified paths only, never a volume root or one of the
// system's own folders, never a reserved device name.
#include <string>
#include <string_view>

#include "app/Handles.h"

// "X:\..." or a "\\server\share" / "\\?\" path; "C:", "C:name" and "\name"
// depend on the current folder and are not.
bool IsFullyQualifiedPath(std::wstring_view path);

// The one absolute form of a fully qualified path: "." and ".." resolved,
// trailing separators, dots and spaces removed, short names made long where
// the path exists, a "\\?\X:" prefix dropped. Empty when the path is not
// fully qualified or cannot be resolved.
std::wstring ResolveFullPath(const std::wstring& path);

// Whether deleting this resolved folder as a whole would take a volume root,
// the Windows or a program files folder, the program data or users folder, a
// profile folder, one of the known folders of a profile (Desktop, Documents,
// ...), or an ancestor of any of them.
bool IsProtectedFolder(const std::wstring& resolved);

// Whether one path part names a device: CON, PRN, AUX, NUL, COM0-9, LPT0-9
// (also with superscript digits) and CONIN$/CONOUT$, in any letter case, also
// with an extension or trailing dots and spaces ("nul", "Com1.txt", "aux .").
bool IsReservedDeviceName(std::wstring_view part);

// Whether an existing file reached by `path` really lives under another name
// or folder: a link that its attributes do not show (some file systems
// resolve file links silently). False when it cannot be opened.
bool LeadsElsewhere(const std::wstring& path);
// The same, with the final path of the file's folder already known (see
// FinalPathOf), for walks over many files of one folder.
bool LeadsElsewhere(const std::wstring& path, const std::wstring& folderFinalPath);
// Where an existing file or folder really is (links resolved, "\\?\"
// dropped); empty when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& path);
// The same for an open file or folder ("\\?\" dropped, links resolved).
std::wstring FinalPathOfHandle(HANDLE object);
// Opens the folder itself, never a link's target, and holds it: without
// share-delete nobody can rename it or swap it for a link until the handle
// is closed. Invalid when it cannot be opened.
UniqueFile HoldFolderItself(const std::wstring& path);
