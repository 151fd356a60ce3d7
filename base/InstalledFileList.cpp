#include "base/InstalledFileList.h"

#include <windows.h>

#include <algorithm>

#include "app/Handles.h"
#include "app/TextConvert.h"
#include "base/PathGuard.h"
#include "base/PathUtil.h"

namespace {

// A list of a few hundred thousand files fits; anything larger is not one.
constexpr DWORD kMaxListBytes = 16u * 1024 * 1024;
// How much of what stays, and of what goes, is named in the log.
constexpr size_t kMaxKeptNamed = 200;
constexpr size_t kMaxRemovedNamed = 5000;

bool ReadSmallFile(const std::wstring& path, std::string* text) {
    // Opened without following a link put in the list's place.
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxListBytes) return false;
    text->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!text->empty() &&
        !::ReadFile(file.get(), text->data(), static_cast<DWORD>(text->size()), &read, nullptr)) {
        return false;
    }
    text->resize(read);
    return true;
}

// Every part a plain name: no "." or "..", nothing empty, no device, no
// stream or drive colon.
bool IsPlainRelativePath(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L":*?\"<>|") != std::wstring::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring part = path.substr(start, end - start);
        if (part.empty() || part.find_first_not_of(L". ") == std::wstring::npos) return false;
        if (IsReservedDeviceName(part)) return false;
        start = end + 1;
    }
    return true;
}

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

size_t Depth(const std::wstring& path) { return std::count(path.begin(), path.end(), L'\\'); }

}  // namespace

std::vector<InstalledFileList::Entry> InstalledFileList::Parse(const std::string& text) {
    std::vector<Entry> entries;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::wstring line = Utf8ToWide(std::string_view(text).substr(start, end - start));
        start = end + 1;
        std::replace(line.begin(), line.end(), L'/', L'\\');
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
        Entry entry;
        if (!line.empty() && line.back() == L'\\') {
            entry.folder = true;
            line.pop_back();
        }
        if (!IsPlainRelativePath(line)) continue;
        entry.path = line;
        entries.push_back(entry);
    }
    return entries;
}

bool InstalledFileList::Remove(const std::wstring& folder, const std::wstring& listName) {
    removed_ = 0;
    removedNames_.clear();
    kept_.clear();
    root_ = ResolveFullPath(folder);
    if (root_.empty() || IsVolumeRoot(root_) || IsProtectedFolder(root_)) {
        Keep(folder, L"not a folder an install may remove");
        return false;
    }
    const DWORD attributes = Attributes(root_);
    // Already gone (removed by hand, say): nothing of the install is left.
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!IsFolder(attributes) || IsLink(attributes)) {
        Keep(root_, IsLink(attributes) ? L"a link, not followed" : L"not a folder");
        return false;
    }
    if (!IsPlainRelativePath(listName) || listName.find(L'\\') != std::wstring::npos) return false;
    const std::wstring listPath = JoinPath(root_, listName);
    std::string text;
    if (!ReadSmallFile(listPath, &text)) return false;

    std::vector<Entry> entries = Parse(text);
    for (const Entry& e : entries) {
        if (!e.folder) RemoveFile(e.path);
    }
    // Deepest first, so that a parent is empty when its turn comes.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return Depth(a.path) > Depth(b.path); });
    for (const Entry& e : entries) {
        if (e.folder) RemoveFolder(e.path);
    }
    if (::DeleteFileW(listPath.c_str())) Removed(listPath);
    if (::RemoveDirectoryW(root_.c_str())) {
        Removed(root_);
    } else {
        ListWhatStays(root_, 0);
    }
    return true;
}

// Each folder between the install folder and the entry is a real folder:
// a junction put there would lead the deletion somewhere else.
bool InstalledFileList::ReachableWithoutLinks(const std::wstring& relative) const {
    size_t pos = relative.find(L'\\');
    while (pos != std::wstring::npos) {
        const DWORD a = Attributes(JoinPath(root_, relative.substr(0, pos)));
        if (!IsFolder(a) || IsLink(a)) return false;
        pos = relative.find(L'\\', pos + 1);
    }
    return true;
}

void InstalledFileList::RemoveFile(const std::wstring& relative) {
    const std::wstring path = JoinPath(root_, relative);
    if (!ReachableWithoutLinks(relative)) {
        if (Attributes(path) != INVALID_FILE_ATTRIBUTES) Keep(path, L"behind a link, not followed");
        return;
    }
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (IsFolder(a)) {
        Keep(path, L"a folder where a file was installed");
        return;
    }
    // Removing a link removes the link only; an in-use file (this program
    // itself among them) goes aside and is deleted at the next restart.
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::wstring aside = DeleteOrMoveAside(path);
    if (Attributes(path) != INVALID_FILE_ATTRIBUTES) {
        Keep(path, L"could not be removed");
    } else if (aside.empty()) {
        Removed(path);
    } else {
        Removed(path + L" (in use: moved to " + aside + L", deleted at the next restart)");
    }
}

void InstalledFileList::RemoveFolder(const std::wstring& relative) {
    const std::wstring path = JoinPath(root_, relative);
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES || !ReachableWithoutLinks(relative)) return;
    if (!IsFolder(a) || IsLink(a)) return;  // not what the install made
    // Only an empty folder goes; one with the user's files stays, and the
    // files themselves are named once the walk is over.
    if (::RemoveDirectoryW(path.c_str())) Removed(path);
}

void InstalledFileList::ListWhatStays(const std::wstring& path, int depth) {
    WIN32_FIND_DATAW data = {};
    UniqueFind find(::FindFirstFileW(JoinPath(path, L"*").c_str(), &data));
    if (!find) {
        Keep(path, L"could not be removed");
        return;
    }
    bool any = false;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        any = true;
        const std::wstring child = JoinPath(path, name);
        const bool folder = IsFolder(data.dwFileAttributes) && !IsLink(data.dwFileAttributes);
        if (folder && depth < 16) {
            ListWhatStays(child, depth + 1);
        } else {
            Keep(child, L"not installed, kept");
        }
    } while (kept_.size() < kMaxKeptNamed && ::FindNextFileW(find.get(), &data));
    if (!any) Keep(path, L"could not be removed");
}

void InstalledFileList::Keep(const std::wstring& path, const wchar_t* reason) {
    if (kept_.size() < kMaxKeptNamed) kept_.push_back(path + L" (" + reason + L")");
}

void InstalledFileList::Removed(const std::wstring& text) {
    ++removed_;
    if (removedNames_.size() < kMaxRemovedNamed) removedNames_.push_back(text);
}
