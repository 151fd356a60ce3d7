// The demo payload's program. Run after the demo install, it greets and
// lists the folder it was installed into, so the demo shows what landed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                              nullptr, nullptr);
    return out;
}

// Prints the tree below `folder`, sorted by name, with file sizes.
void List(const std::wstring& folder, const std::wstring& relative) {
    std::vector<WIN32_FIND_DATAW> items;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") items.push_back(data);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(items.begin(), items.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
        return std::wstring(a.cFileName) < std::wstring(b.cFileName);
    });
    for (const WIN32_FIND_DATAW& item : items) {
        const std::wstring path =
            relative.empty() ? item.cFileName : relative + L"\\" + item.cFileName;
        if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::printf("  %s\\\n", Utf8(path).c_str());
            List(folder + L"\\" + item.cFileName, path);
        } else {
            const unsigned long long size =
                (static_cast<unsigned long long>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;
            std::printf("  %-28s %llu bytes\n", Utf8(path).c_str(), size);
        }
    }
}

}  // namespace

int wmain() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring root = self;
    // The program lives in <install folder>\app.
    for (int up = 0; up < 2; ++up) root = root.substr(0, root.find_last_of(L'\\'));
    std::printf("hello from the installed demo program, %s\n", Utf8(self).c_str());
    std::printf("install folder %s:\n", Utf8(root).c_str());
    List(root, L"");
    return 0;
}
