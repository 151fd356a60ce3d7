// The demo payload's program. Run after the demo install, it greets and
// lists the folder it was installed into, so the demo shows what landed.
// Started by the wizard (no console to read), it also leaves launched.txt in
// that folder with its command line, as proof that it ran.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
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

std::wstring Parent(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

// The install folder: the program's own, or the one above when the program
// lives in <install folder>\app.
std::wstring InstallFolder(const std::wstring& self) {
    const std::wstring folder = Parent(self);
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    return ::lstrcmpiW(name.c_str(), L"app") == 0 ? Parent(folder) : folder;
}

void LeaveTrace(const std::wstring& root) {
    const wchar_t* line = ::GetCommandLineW();
    const std::string text = Utf8(line ? line : L"") + "\r\n";
    HANDLE file = ::CreateFileW((root + L"\\launched.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

int wmain() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring root = InstallFolder(self);
    LeaveTrace(root);
    std::printf("hello from the installed demo program, %s\n", Utf8(self).c_str());
    std::printf("install folder %s:\n", Utf8(root).c_str());
    List(root, L"");
    // "/stay" keeps it running for a while, as a program the user left open
    // (the uninstaller tests end it); never for ever, so nothing is orphaned.
    const wchar_t* line = ::GetCommandLineW();
    if (line && std::wcsstr(line, L"/stay")) ::Sleep(120 * 1000);
    return 0;
}
