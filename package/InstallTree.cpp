#include "package/InstallTree.h"

#include <windows.h>

#include "base/PathGuard.h"

namespace {

bool IsLinkAttribute(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

InstallTree::Check InstallTree::CheckOneFolder(const std::wstring& path, bool create) {
    if (held_.count(path)) return Check::kOk;
    // Creating first spares a payload's new folders the lookups; what the
    // name held already is looked at only when the creation fails.
    DWORD attributes = create && ::CreateDirectoryW(path.c_str(), nullptr)
                           ? FILE_ATTRIBUTE_DIRECTORY
                           : ::GetFileAttributesW(path.c_str());
    if (IsLinkAttribute(attributes)) return Check::kLink;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Check::kFailed;
    }
    UniqueFile folder = HoldFolderItself(path);
    if (!folder) return Check::kFailed;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (::GetFileInformationByHandle(folder.get(), &info) &&
        IsLinkAttribute(info.dwFileAttributes)) {
        return Check::kLink;
    }
    // Swapped between the first look and the open: what is held now is what
    // the path shows from here on.
    if (IsLinkAttribute(::GetFileAttributesW(path.c_str()))) return Check::kLink;
    held_.emplace(path, std::move(folder));
    return Check::kOk;
}

InstallTree::Check InstallTree::WalkFolders(const std::wstring& relative, bool create) {
    std::wstring path = root_;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos) end = relative.size();
        if (end > start) {
            path.append(relative, start, end - start);
            const Check check = CheckOneFolder(path, create);
            if (check != Check::kOk) return check;
            path += L'\\';
        }
        start = end + 1;
    }
    return Check::kOk;
}

InstallTree::Check InstallTree::CheckFileFolders(const std::wstring& relative) {
    const size_t cut = relative.find_last_of(L'\\');
    return cut == std::wstring::npos ? Check::kOk : WalkFolders(relative.substr(0, cut), false);
}

InstallTree::Check InstallTree::CheckFileTarget(const std::wstring& relative, DWORD& attributes) {
    attributes = INVALID_FILE_ATTRIBUTES;
    const Check folders = CheckFileFolders(relative);
    if (folders != Check::kOk) return folders;
    std::wstring path = root_;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += relative;
    attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Check::kOk;
    return IsLinkAttribute(attributes) || LeadsElsewhere(path) ? Check::kLink : Check::kOk;
}
