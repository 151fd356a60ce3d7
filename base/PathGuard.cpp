#include "base/PathGuard.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "app/Handles.h"
#include "base/PathUtil.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `ancestor` is `path` itself or one of its parent folders.
bool IsSameOrAncestor(std::wstring_view ancestor, std::wstring_view path) {
    if (ancestor.empty() || ancestor.size() > path.size()) return false;
    if (!EqualNoCase(ancestor, path.substr(0, ancestor.size()))) return false;
    return ancestor.size() == path.size() || IsSeparator(path[ancestor.size()]) ||
           IsSeparator(ancestor.back());
}

std::wstring StripTrailing(std::wstring path) {
    // A root keeps its separator ("C:\"), every other path loses it.
    while (path.size() > 3 &&
           (IsSeparator(path.back()) || path.back() == L'.' || path.back() == L' ')) {
        path.pop_back();
    }
    return path;
}

std::wstring FullPathName(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::vector<wchar_t> full(needed + 1, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), needed + 1, full.data(), nullptr);
    if (n == 0 || n > needed) return {};
    return std::wstring(full.data(), n);
}

// "C:\PROGRA~1" and "C:\Program Files" must compare equal.
std::wstring LongPathName(const std::wstring& path) {
    const DWORD needed = ::GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::vector<wchar_t> full(needed + 1, L'\0');
    const DWORD n = ::GetLongPathNameW(path.c_str(), full.data(), needed + 1);
    if (n == 0 || n > needed) return path;
    return std::wstring(full.data(), n);
}

std::wstring DropLocalDevicePrefix(std::wstring path) {
    if (path.size() >= 6 && path.compare(0, 4, L"\\\\?\\") == 0 && IsDriveLetter(path[4]) &&
        path[5] == L':') {
        path.erase(0, 4);
    }
    return path;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR text = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &text)) && text) {
        result = text;
    }
    ::CoTaskMemFree(text);
    return result;
}

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer) : std::wstring();
}

struct ProtectedFolders {
    std::vector<std::wstring> exact;  // never deleted, nor any ancestor of them
    std::wstring users;               // every folder directly in it is a profile
};

ProtectedFolders CollectProtectedFolders() {
    static const KNOWNFOLDERID* const kFolders[] = {
        &FOLDERID_Windows,
        &FOLDERID_System,
        &FOLDERID_SystemX86,
        &FOLDERID_ProgramFiles,
        &FOLDERID_ProgramFilesX86,
        &FOLDERID_ProgramFilesX64,
        &FOLDERID_ProgramFilesCommon,
        &FOLDERID_ProgramFilesCommonX86,
        &FOLDERID_ProgramData,
        &FOLDERID_UserProfiles,
        &FOLDERID_Profile,
        &FOLDERID_Public,
        &FOLDERID_Desktop,
        &FOLDERID_PublicDesktop,
        &FOLDERID_Documents,
        &FOLDERID_PublicDocuments,
        &FOLDERID_Downloads,
        &FOLDERID_Music,
        &FOLDERID_Pictures,
        &FOLDERID_Videos,
        &FOLDERID_Favorites,
        &FOLDERID_RoamingAppData,
        &FOLDERID_LocalAppData,
        &FOLDERID_LocalAppDataLow,
        &FOLDERID_StartMenu,
        &FOLDERID_CommonStartMenu,
        &FOLDERID_Programs,
        &FOLDERID_CommonPrograms,
        &FOLDERID_Startup,
        &FOLDERID_CommonStartup,
        &FOLDERID_Templates,
        &FOLDERID_CommonTemplates,
        &FOLDERID_Fonts,
    };
    ProtectedFolders folders;
    auto add = [&folders](const std::wstring& path) {
        if (!IsFullyQualifiedPath(path)) return;
        const std::wstring resolved = ResolveFullPath(path);
        if (!resolved.empty()) folders.exact.push_back(resolved);
    };
    for (const KNOWNFOLDERID* id : kFolders) add(KnownFolder(*id));
    for (const wchar_t* name : {L"SystemRoot", L"windir", L"ProgramFiles", L"ProgramW6432",
                                L"ProgramFiles(x86)", L"ProgramData", L"USERPROFILE", L"PUBLIC"}) {
        add(EnvironmentFolder(name));
    }
    std::wstring users = KnownFolder(FOLDERID_UserProfiles);
    if (users.empty()) {
        // The parent of this user's profile folder.
        std::wstring profile = ResolveFullPath(KnownFolder(FOLDERID_Profile));
        const size_t cut = profile.find_last_of(L'\\');
        if (cut != std::wstring::npos && cut > 2) users = profile.substr(0, cut);
    }
    folders.users = ResolveFullPath(users);
    return folders;
}

const ProtectedFolders& TheProtectedFolders() {
    static const ProtectedFolders folders = CollectProtectedFolders();
    return folders;
}

bool IsProfileFolder(const std::wstring& resolved, const std::wstring& users) {
    if (users.empty() || resolved.size() <= users.size() + 1) return false;
    if (!IsSameOrAncestor(users, resolved)) return false;
    return resolved.find(L'\\', users.size() + 1) == std::wstring::npos;
}

std::wstring FinalPath(const std::wstring& path) {
    UniqueFile object(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
        nullptr));
    return object ? FinalPathOfHandle(object.get()) : std::wstring();
}

}  // namespace

std::wstring FinalPathOf(const std::wstring& path) { return FinalPath(path); }

std::wstring FinalPathOfHandle(HANDLE object) {
    std::vector<wchar_t> buffer(1024, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(object, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          FILE_NAME_NORMALIZED);
    if (n >= buffer.size()) {
        buffer.assign(n + 1, L'\0');
        n = ::GetFinalPathNameByHandleW(object, buffer.data(), static_cast<DWORD>(buffer.size()),
                                        FILE_NAME_NORMALIZED);
    }
    if (n == 0 || n >= buffer.size()) return {};
    return DropLocalDevicePrefix(std::wstring(buffer.data(), n));
}

UniqueFile HoldFolderItself(const std::wstring& path) {
    return UniqueFile(::CreateFileW(
        path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool LeadsElsewhere(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut + 1 >= path.size()) return false;
    return LeadsElsewhere(path, FinalPath(path.substr(0, cut + 1)));
}

bool LeadsElsewhere(const std::wstring& path, const std::wstring& folderFinalPath) {
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut + 1 >= path.size() || folderFinalPath.empty()) {
        return false;
    }
    const std::wstring file = FinalPath(path);
    if (file.empty()) return false;
    std::wstring expected = folderFinalPath;
    if (!IsSeparator(expected.back())) expected += L'\\';
    expected.append(path, cut + 1, std::wstring::npos);
    if (EqualNoCase(file, expected)) return false;
    // A short name or a different letter case of the same entry is no link.
    return !EqualNoCase(file, LongPathName(expected));
}

bool IsFullyQualifiedPath(std::wstring_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        return true;
    }
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]);
}

std::wstring ResolveFullPath(const std::wstring& path) {
    if (!IsFullyQualifiedPath(path) || path.find(L'\0') != std::wstring::npos) return {};
    // "\\?\X:\..." is taken apart like "X:\...", so ".." and a trailing
    // separator get the same treatment; other device paths are refused.
    const std::wstring plain = DropLocalDevicePrefix(path);
    if (!IsFullyQualifiedPath(plain)) return {};
    if (plain.size() >= 4 && IsSeparator(plain[0]) && IsSeparator(plain[1]) &&
        (plain[2] == L'?' || plain[2] == L'.') && IsSeparator(plain[3])) {
        return {};
    }
    std::wstring full = FullPathName(plain);
    if (full.empty()) return {};
    full = StripTrailing(LongPathName(full));
    // Whatever the steps made of it, only a fully qualified result is used:
    // "X:" alone would name the drive's current folder to some calls and its
    // root to others.
    return IsFullyQualifiedPath(full) ? full : std::wstring();
}

bool IsProtectedFolder(const std::wstring& resolved) {
    if (resolved.empty() || IsVolumeRoot(resolved)) return true;
    const ProtectedFolders& folders = TheProtectedFolders();
    for (const std::wstring& folder : folders.exact) {
        if (IsSameOrAncestor(resolved, folder)) return true;
    }
    return IsProfileFolder(resolved, folders.users);
}

bool IsReservedDeviceName(std::wstring_view part) {
    // Windows drops trailing dots and spaces, then looks at the name before
    // the first dot, without the blanks before that dot.
    while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.remove_suffix(1);
    part = part.substr(0, part.find(L'.'));
    while (!part.empty() && part.back() == L' ') part.remove_suffix(1);
    if (part.size() == 3) {
        for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL"}) {
            if (EqualNoCase(part, name)) return true;
        }
        return false;
    }
    if (part.size() == 4) {
        const wchar_t digit = part[3];
        const bool isDigit = (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' ||
                             digit == L'\u00B2' || digit == L'\u00B3';
        return isDigit &&
               (EqualNoCase(part.substr(0, 3), L"COM") || EqualNoCase(part.substr(0, 3), L"LPT"));
    }
    return EqualNoCase(part, L"CONIN$") || EqualNoCase(part, L"CONOUT$");
}
