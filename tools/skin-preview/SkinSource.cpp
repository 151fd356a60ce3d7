#include "tools/skin-preview/SkinSource.h"

#include <windows.h>

#include <algorithm>

#include "app/Handles.h"
#include "package/PackageFormat.h"

namespace {

// Skins are small; this bounds a wrong path pointing at something huge.
constexpr uint64_t kMaxFileBytes = 256u << 20;
constexpr int kMaxDepth = 32;

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kMaxFileBytes) {
        return false;
    }
    out.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 20));
        if (!::ReadFile(file.get(), out.data() + done, want, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// Adds every file below folder\relative; links are not followed.
bool CollectFolder(const std::wstring& folder, const std::wstring& relative, int depth,
                   std::vector<PackageInput>& inputs) {
    if (depth > kMaxDepth) return false;
    const std::wstring base = relative.empty() ? folder : folder + L"\\" + relative;
    WIN32_FIND_DATAW fd;
    UniqueFind find(::FindFirstFileW((base + L"\\*").c_str(), &fd));
    if (!find) return false;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CollectFolder(folder, child, depth + 1, inputs)) return false;
            continue;
        }
        PackageInput input;
        input.name = PackageNameOf(ToU16(child));
        if (!ReadWholeFile(folder + L"\\" + child, input.data)) return false;
        inputs.push_back(std::move(input));
    } while (::FindNextFileW(find.get(), &fd));
    return true;
}

}  // namespace

bool LoadSkinBytes(const std::wstring& path, std::vector<uint8_t>& out, std::wstring& error) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = L"no such skin: " + path;
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (ReadWholeFile(path, out)) return true;
        error = L"cannot read the package " + path;
        return false;
    }
    std::vector<PackageInput> inputs;
    if (!CollectFolder(path, L"", 0, inputs)) {
        error = L"cannot read the skin folder " + path;
        return false;
    }
    if (!WritePackage(inputs, out)) {
        error = L"the skin folder is too large for a package";
        return false;
    }
    return true;
}
