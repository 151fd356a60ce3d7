#include "base/PathUtil.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "app/Handles.h"
#include "base/PathGuard.h"

namespace {

// `digits` hexadecimal digits of `value`, leading zeros kept.
void AppendHex(std::wstring& out, unsigned long value, int digits, bool upper) {
    const wchar_t* const set = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += set[(value >> shift) & 0xF];
}

constexpr DWORD kPathUnits = MAX_PATH;  // 260: the size of every filled path buffer

bool Exists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

std::wstring TempFolder() {
    wchar_t buffer[kPathUnits] = {};
    const DWORD n = ::GetTempPathW(kPathUnits, buffer);
    if (n == 0 || n >= kPathUnits) return {};
    return buffer;
}

std::wstring VolumeOf(const std::wstring& path) {
    wchar_t buffer[kPathUnits] = {};
    if (!::GetVolumePathNameW(path.c_str(), buffer, kPathUnits)) return {};
    return buffer;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// The shell's recursive delete; the source list ends with two zero characters.
void ShellDelete(const std::wstring& path, FILEOP_FLAGS flags) {
    std::vector<wchar_t> source(path.begin(), path.end());
    source.push_back(L'\0');
    source.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = source.data();
    op.pTo = nullptr;
    op.fFlags = flags;
    ::SHFileOperationW(&op);
}

void DeleteResolvedTree(const std::wstring& path);

// Removes a link itself, never what it points to. Clearing the attributes of
// a file link would change its target, so they are left as they are.
void RemoveLink(const std::wstring& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(path.c_str());
    } else {
        ::DeleteFileW(path.c_str());
    }
}

void DeleteTreeContents(const std::wstring& path) {
    WIN32_FIND_DATAW entry = {};
    UniqueFind find(::FindFirstFileW((path + L"\\*.*").c_str(), &entry));
    if (!find) return;
    const std::wstring folderFinal = FinalPathOf(path);
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLink(child, entry.dwFileAttributes);
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteResolvedTree(child);
        } else if (!LeadsElsewhere(child, folderFinal)) {
            // A file link that does not show as one would be deleted as its
            // target: it stays.
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(child.c_str());
        }
    } while (::FindNextFileW(find.get(), &entry));
    find.reset();
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Whether a link lies anywhere in the tree (links are not entered).
bool TreeContainsLink(const std::wstring& path) {
    WIN32_FIND_DATAW entry = {};
    UniqueFind find(::FindFirstFileW((path + L"\\*.*").c_str(), &entry));
    if (!find) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            TreeContainsLink(path + L"\\" + name)) {
            return true;
        }
    } while (::FindNextFileW(find.get(), &entry));
    return false;
}

// The folder held (HoldFolderItself), or null when it turns out to be a link.
UniqueFile PinFolder(const std::wstring& path) {
    UniqueFile folder = HoldFolderItself(path);
    if (!folder) return folder;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool linkByHandle = ::GetFileInformationByHandle(folder.get(), &info) &&
                              (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    // Some file systems show a link only through its path; the path is
    // checked after pinning, so what it shows is what the handle holds.
    const DWORD byPath = ::GetFileAttributesW(path.c_str());
    const bool linkByPath = byPath == INVALID_FILE_ATTRIBUTES ||
                            (byPath & FILE_ATTRIBUTE_REPARSE_POINT) ||
                            !(byPath & FILE_ATTRIBUTE_DIRECTORY);
    if (linkByHandle || linkByPath) folder.reset();
    return folder;
}

// Where the pinned folder really is, for the protected-folder check.
std::wstring FinalPathOf(HANDLE folder) { return ResolveFullPath(FinalPathOfHandle(folder)); }

// `path` is fully resolved. A folder is deleted only when it is no link, no
// protected folder, and still the folder that was checked while its
// contents go.
void DeleteResolvedTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(path, attributes);
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
        return;
    }
    if (IsProtectedFolder(path)) {
        ::OutputDebugStringW((L"DeleteDirectoryTree refused a protected folder: " + path).c_str());
        return;
    }
    {
        UniqueFile pinned = PinFolder(path);
        if (!pinned) {
            // Swapped for a link since the first look: remove only the link.
            const DWORD now = ::GetFileAttributesW(path.c_str());
            if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveLink(path, now);
            }
            return;
        }
        const std::wstring real = FinalPathOf(pinned.get());
        if (!real.empty() && IsProtectedFolder(real)) return;
        DeleteTreeContents(path);
    }
    ::RemoveDirectoryW(path.c_str());
    // Whatever the plain calls could not remove (read-only files among
    // others), the shell's recursive delete removes, without any dialog. It
    // enters linked folders, so it only gets a tree without links.
    if (Exists(path) && IsSafeForShellDelete(path)) {
        ShellDelete(path, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI);
    }
}

}  // namespace

std::wstring JoinPath(const std::wstring& first, const std::wstring& second) {
    std::wstring result = first;
    if (!result.empty() && result.back() != L'\\') result += L'\\';
    if (!second.empty() && second.front() == L'\\') {
        result.append(second, 1, std::wstring::npos);
    } else {
        result += second;
    }
    return result;
}

bool CreateDirectoryTree(const std::wstring& path) {
    // Parents are created from index 3 on, so a drive root (C:\) is never one.
    for (size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1)) {
        const std::wstring prefix = path.substr(0, i);
        if (!Exists(prefix)) ::CreateDirectoryW(prefix.c_str(), nullptr);
    }
    ::CreateDirectoryW(path.c_str(), nullptr);
    return Exists(path);
}

// A drive or share root is never deleted as a whole: a script that computes an
// empty or truncated install folder must not wipe a volume.
bool IsVolumeRoot(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return false;
    std::vector<wchar_t> full(needed + 1, L'\0');
    if (::GetFullPathNameW(path.c_str(), needed + 1, full.data(), nullptr) == 0) return false;
    const std::wstring fullPath = full.data();
    const DWORD volumeNeeded = static_cast<DWORD>(fullPath.size()) + 2;
    std::vector<wchar_t> volume(volumeNeeded, L'\0');
    if (!::GetVolumePathNameW(fullPath.c_str(), volume.data(), volumeNeeded)) return false;
    return ::lstrcmpiW(WithoutTrailingSeparators(fullPath).c_str(),
                       WithoutTrailingSeparators(volume.data()).c_str()) == 0;
}

void DeleteDirectoryTree(const std::wstring& path) {
    // One resolution for the checks and the deletion alike: "C:" alone would
    // pass as the current folder and then enumerate as the drive's root.
    const std::wstring resolved = ResolveFullPath(path);
    if (resolved.empty()) return;
    DeleteResolvedTree(resolved);
}

bool IsSafeForShellDelete(const std::wstring& resolved) {
    if (resolved.empty() || IsProtectedFolder(resolved)) return false;
    const DWORD attributes = ::GetFileAttributesW(resolved.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    return !(attributes & FILE_ATTRIBUTE_DIRECTORY) || !TreeContainsLink(resolved);
}

std::wstring DeleteOrMoveAside(const std::wstring& path) {
    if (path.empty()) return {};
    ::DeleteFileW(path.c_str());
    if (!Exists(path)) return {};
    // Only files are moved aside: a folder in the way keeps its contents.
    const DWORD current = ::GetFileAttributesW(path.c_str());
    if (current != INVALID_FILE_ATTRIBUTES && (current & FILE_ATTRIBUTE_DIRECTORY)) return {};

    const std::wstring volume = VolumeOf(path);
    // Without its volume the file could be moved across drives or into the
    // current folder; leave it where it is.
    if (volume.empty()) return {};
    std::wstring folder = TempFolder();
    // A move stays on the file's own drive, where it is a rename.
    if (folder.size() < 2 || ::StrCmpNIW(folder.c_str(), volume.c_str(), 2) != 0) folder = volume;
    if (folder.back() != L'\\') folder += L'\\';

    const std::wstring guid = MakeGuidText();
    if (guid.empty()) return {};
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::wstring target = folder + guid;
    if (!::MoveFileW(path.c_str(), target.c_str())) return {};
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(target.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    ::MoveFileExW(target.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return target;
}

bool WriteAllBytes(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        // One call for anything below 4 GB.
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0xFFFFFFFFu));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

UniqueFile CreateNewFile(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    if (path.empty()) return false;
    UniqueFile file = CreateNewFile(path);
    if (!file) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return false;
        }
        // A link that shows as one is deleted as itself. One that does not
        // (a file system resolving file links silently) would be deleted as
        // its target, so the write is refused instead.
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && LeadsElsewhere(path)) return false;
        if (!::DeleteFileW(path.c_str())) return false;
        file = CreateNewFile(path);
        if (!file) return false;
    }
    const bool written =
        WriteAllBytes(file.get(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return ::CloseHandle(file.release()) && written;
}

std::wstring MakeGuidText() {
    GUID guid = {};
    if (FAILED(::CoCreateGuid(&guid))) return {};
    // Written by hand: a formatted print pulls the runtime's whole wide
    // printf into the installer for this one line.
    std::wstring text;
    text.reserve(36);
    AppendHex(text, guid.Data1, 8, true);
    text += L'-';
    AppendHex(text, guid.Data2, 4, true);
    text += L'-';
    AppendHex(text, guid.Data3, 4, false);
    text += L'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) text += L'-';
        AppendHex(text, guid.Data4[i], 2, true);
    }
    return text;
}

bool IsWow64() {
    // Looked up by name: the export is missing on the oldest systems.
    static const bool answer = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32");
        if (!kernel) return false;
        const auto query =
            reinterpret_cast<IsWow64ProcessFn>(::GetProcAddress(kernel, "IsWow64Process"));
        BOOL wow64 = FALSE;
        if (!query || !query(::GetCurrentProcess(), &wow64)) return false;
        return wow64 != FALSE;
    }();
    return answer;
}

bool Is64BitSystem() {
#if defined(_WIN64)
    return true;
#else
    return IsWow64();
#endif
}
