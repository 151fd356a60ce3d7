#pragma once
// Path and file utilities shared by the host functions and the payload
// extraction, which writes every file through them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/Handles.h"

// Joins two path parts with exactly one backslash between them.
std::wstring JoinPath(const std::wstring& first, const std::wstring& second);
// Creates the folder and its missing parents (never a drive root); whether it
// exists afterwards. Failures of single creations are not reported.
bool CreateDirectoryTree(const std::wstring& path);
// Deletes the folder with everything in it (or the file, attributes cleared);
// what plain deletion leaves, the shell's silent recursive delete removes.
// The path must be fully qualified ("C:" or "dir" alone delete nothing).
// Links and junctions inside are removed, never followed; a volume root or a
// protected folder of the system (see IsProtectedFolder) is never deleted.
void DeleteDirectoryTree(const std::wstring& path);
// Whether the shell's recursive delete may be let loose on this resolved
// path: not protected, not a link, and no link anywhere inside (the shell
// would enter it).
bool IsSafeForShellDelete(const std::wstring& resolved);
// Whether the path names the root of a drive, share or mounted volume.
bool IsVolumeRoot(const std::wstring& path);
// Deletes a file, or when it is in use moves it aside (hidden, GUID-named,
// deleted at the next reboot) so that a new file can take its name. The file
// goes to the temporary folder when that is on the same drive, else to the
// root of its own volume; when neither can be found it stays in place. A
// folder at the path is left alone. The path the file was moved to, empty
// when it was deleted or stayed.
std::wstring DeleteOrMoveAside(const std::wstring& path);
// Writes `bytes` as the whole content of the file, replacing it; a link at
// the path is replaced, not followed (refused when the system does not show
// it as a link). Whether all bytes were written.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);
// A new file for writing, only when nothing holds the name: a link planted
// there is never opened. Invalid when the name is taken or on failure.
UniqueFile CreateNewFile(const std::wstring& path);
// Writes all `size` bytes to the open file; false on any failure.
bool WriteAllBytes(HANDLE file, const uint8_t* data, size_t size);
// A new GUID as 36 characters without braces, upper-case hex digits except in
// the third group, which is lower case; empty on failure.
std::wstring MakeGuidText();
// Whether this process runs under WOW64 (cached after the first call).
bool IsWow64();
// Whether the system is 64-bit: true for the 64-bit build and for the
// 32-bit build under WOW64. Registry views and architecture-specific payload
// entries follow this answer, so both builds install alike.
bool Is64BitSystem();
