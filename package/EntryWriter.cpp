#include "package/EntryWriter.h"

#include <windows.h>
#include <algorithm>

#include "app/Handles.h"
#include "package/ExtractionWorker.h"
#include "base/PathGuard.h"
#include "base/PathUtil.h"
#include "package/InstallTree.h"

namespace {

constexpr size_t kPrefixLength = 7;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, kPrefixLength, prefix) == 0;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Windows strips trailing dots and spaces from path parts, so "..", ". ."
// and "..." could all walk upwards somewhere; none is a sensible name.
bool IsDotsOnly(const std::wstring& part) {
    return !part.empty() &&
           std::all_of(part.begin(), part.end(), [](wchar_t c) { return c == L'.' || c == L' '; });
}

EntryWrite FromCheck(InstallTree::Check check) {
    switch (check) {
        case InstallTree::Check::kOk:
            return EntryWrite::kDone;
        case InstallTree::Check::kLink:
            return EntryWrite::kThroughLink;
        case InstallTree::Check::kFailed:
            break;
    }
    return EntryWrite::kNotWritable;
}

// Frees the name of a file that is in use: delete, move aside, or rename to
// ".tmp", in that order; whatever still holds the name makes the open fail.
void ClearTarget(const std::wstring& path) {
    if (!Exists(path)) return;
    ::DeleteFileW(path.c_str());
    if (Exists(path)) DeleteOrMoveAside(path);
    if (Exists(path)) ::MoveFileW(path.c_str(), (path + L".tmp").c_str());
}

bool WriteAndClose(UniqueFile file, const std::wstring& path, const uint8_t* data, size_t size) {
    bool ok = WriteAllBytes(file.get(), data, size);
    ok = ::CloseHandle(file.release()) && ok;
    // A short file would pass for installed: leave no truncated copy behind.
    if (!ok) ::DeleteFileW(path.c_str());
    return ok;
}

// The name is taken: refuse a link or a folder there, free the name of an
// old file (in use or not) and create the file anew.
EntryWrite CreateInPlaceOfExisting(InstallTree& tree, const std::wstring& relative,
                                   const std::wstring& path, UniqueFile& file) {
    DWORD existing = INVALID_FILE_ATTRIBUTES;
    const EntryWrite target = FromCheck(tree.CheckFileTarget(relative, existing));
    if (target != EntryWrite::kDone) return target;
    if (existing != INVALID_FILE_ATTRIBUTES) {
        // A folder in the way may hold the user's files: moving it aside
        // would hide them, so the entry fails instead.
        if (existing & FILE_ATTRIBUTE_DIRECTORY) return EntryWrite::kNotWritable;
        ClearTarget(path);
    }
    file = CreateNewFile(path);
    return file ? EntryWrite::kDone : EntryWrite::kNotWritable;
}

}  // namespace

EntryWrite CheckEntryName(const std::wstring& name) {
    std::wstring n = name;
    std::replace(n.begin(), n.end(), L'/', L'\\');
    if (!n.empty() && n[0] == L'\\') return EntryWrite::kRefused;
    if (n.find(L':') != std::wstring::npos) return EntryWrite::kRefused;
    size_t start = 0;
    while (start <= n.size()) {
        size_t end = n.find(L'\\', start);
        if (end == std::wstring::npos) end = n.size();
        const std::wstring part = n.substr(start, end - start);
        if (IsDotsOnly(part)) return EntryWrite::kRefused;
        if (IsReservedDeviceName(part)) return EntryWrite::kDeviceName;
        start = end + 1;
    }
    return EntryWrite::kDone;
}

bool IsSafeEntryName(const std::wstring& name) { return CheckEntryName(name) == EntryWrite::kDone; }

EntryWrite WriteExtractedEntry(InstallTree& tree, const std::wstring& name, bool isFolder,
                               const uint8_t* data, size_t size, uint32_t index, uint32_t count) {
    const ExtractionJob& job = TheExtractionJob();
    std::wstring n = name;
    const int i = static_cast<int>(index), c = static_cast<int>(count);
    if (StartsWith(n, kX86Prefix)) {
        if (job.is64BitSystem) {
            ReportProgress(n, i, c);
            return EntryWrite::kDone;
        }
        n.erase(0, kPrefixLength);
    }
    if (StartsWith(n, kX64Prefix)) {
        if (!job.is64BitSystem) {
            ReportProgress(n, i, c);
            return EntryWrite::kDone;
        }
        n.erase(0, kPrefixLength);
    }
    const EntryWrite nameCheck = CheckEntryName(n);
    if (nameCheck != EntryWrite::kDone) return nameCheck;
    std::replace(n.begin(), n.end(), L'/', L'\\');

    if (isFolder) return FromCheck(tree.EnsureFolders(n));
    const EntryWrite folders = FromCheck(tree.CheckFileFolders(n));
    if (folders != EntryWrite::kDone) return folders;
    const std::wstring path = JoinPath(tree.Root(), n);
    // Created first: a name that exists is never opened, so the common case
    // needs no lookup before it.
    UniqueFile file = CreateNewFile(path);
    if (!file) {
        const EntryWrite replaced = CreateInPlaceOfExisting(tree, n, path, file);
        if (replaced != EntryWrite::kDone) return replaced;
    }
    return WriteAndClose(std::move(file), path, data, size) ? EntryWrite::kDone
                                                            : EntryWrite::kNotWritable;
}
