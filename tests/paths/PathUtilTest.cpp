// The shared path utilities the host functions and the payload extraction
// write every file through.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <cwctype>
#include <set>
#include <string>

#include "app/Handles.h"
#include "base/PathUtil.h"
#include "support/TestProcess.h"
#include "support/UnixLink.h"

namespace {

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(WriteFileBytes(path, "data")) << Narrow(path);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << Narrow(path);
}

// Maps a copy of this test program as an executable image, the way a running
// program holds its files: it can be renamed but not deleted while mapped.
class MappedImage {
  public:
    explicit MappedImage(const std::wstring& path) {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (!::CopyFileW(self, path.c_str(), FALSE)) return;
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_EXECUTE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) return;
        section_.reset(
            ::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr));
        if (section_) view_ = ::MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, 0);
    }
    ~MappedImage() {
        if (view_) ::UnmapViewOfFile(view_);
    }
    MappedImage(const MappedImage&) = delete;
    MappedImage& operator=(const MappedImage&) = delete;
    bool held() const { return view_ != nullptr; }

  private:
    UniqueHandleKernel section_;
    void* view_ = nullptr;
};

TEST(JoinPathTest, JoinsWithOneBackslash) {
    const struct {
        const wchar_t* first;
        const wchar_t* second;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\a", L"b", L"C:\\a\\b"},
        {L"C:\\a\\", L"\\b", L"C:\\a\\b"},
        {L"C:\\a\\", L"b", L"C:\\a\\b"},
        {L"C:\\a", L"\\b", L"C:\\a\\b"},
        {L"", L"\\b", L"b"},
        {L"", L"b", L"b"},
        {L"C:\\a", L"", L"C:\\a\\"},
        {L"", L"", L""},
        {L"C:\\a", L"\\\\b", L"C:\\a\\\\b"},  // only one leading backslash is dropped
        {L"a/", L"b", L"a/\\b"},              // only the backslash is a separator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.first, c.second), c.expected)
            << Narrow(c.first) << " + " << Narrow(c.second);
    }
}

TEST(CreateDirectoryTreeTest, CreatesMissingParents) {
    const std::wstring root = MakeScratchDir(L"tree");
    const std::wstring deep = root + L"\\a\\b\\c";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(Exists(deep));
    EXPECT_TRUE(CreateDirectoryTree(deep));  // existing already
    EXPECT_TRUE(CreateDirectoryTree(root + L"\\a\\b\\d\\"));
    EXPECT_TRUE(Exists(root + L"\\a\\b\\d"));
    DeleteDirectoryTree(root);
}

TEST(CreateDirectoryTreeTest, FailsWhereNothingCanBeCreated) {
    // A parent that is a file, and a drive that is not there.
    const std::wstring root = MakeScratchDir(L"treefail");
    MakeFile(root + L"\\file");
    EXPECT_FALSE(CreateDirectoryTree(root + L"\\file\\sub"));
    EXPECT_FALSE(CreateDirectoryTree(L"Q:\\missing\\drive\\folder"));
    EXPECT_FALSE(CreateDirectoryTree(L""));
    DeleteDirectoryTree(root);
}

TEST(DeleteDirectoryTreeTest, DeletesNestedFoldersWithReadOnlyFiles) {
    const std::wstring root = MakeScratchDir(L"deltree");
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\a\\b\\c"));
    MakeFile(root + L"\\top.txt");
    MakeFile(root + L"\\a\\ro.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(root + L"\\a\\b\\hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    MakeFile(root + L"\\a\\b\\c\\plain.txt");
    ::SetFileAttributesW((root + L"\\a\\b").c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteDirectoryTree(root);
    EXPECT_FALSE(Exists(root));
}

TEST(DeleteDirectoryTreeTest, DeletesAReadOnlyFileGivenAsThePath) {
    const std::wstring root = MakeScratchDir(L"delfile");
    MakeFile(root + L"\\ro.txt", FILE_ATTRIBUTE_READONLY);
    DeleteDirectoryTree(root + L"\\ro.txt");
    EXPECT_FALSE(Exists(root + L"\\ro.txt"));
    DeleteDirectoryTree(root + L"\\missing");  // nothing there: no effect
    EXPECT_TRUE(Exists(root));
    DeleteDirectoryTree(root);
}

TEST(DeleteDirectoryTreeTest, KnowsVolumeRoots) {
    const std::wstring root = MakeScratchDir(L"roots");
    EXPECT_TRUE(IsVolumeRoot(L"C:\\"));
    EXPECT_TRUE(IsVolumeRoot(L"C:\\.\\"));
    EXPECT_FALSE(IsVolumeRoot(root));
    EXPECT_FALSE(IsVolumeRoot(root + L"\\"));
    EXPECT_FALSE(IsVolumeRoot(L"C:\\windows"));
    DeleteDirectoryTree(root);
}

TEST(DeleteDirectoryTreeTest, RemovesLinksWithoutFollowingThem) {
    const std::wstring root = MakeScratchDir(L"links");
    const std::wstring outside = MakeScratchDir(L"linktarget");
    MakeFile(outside + L"\\precious.txt");
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\tree"));
    const std::wstring link = root + L"\\tree\\link";
    if (!::CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        DeleteDirectoryTree(root);
        DeleteDirectoryTree(outside);
        GTEST_SKIP() << "folder links are not available here";
    }
    DeleteDirectoryTree(root);
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(Exists(outside + L"\\precious.txt"));
    DeleteDirectoryTree(outside);
}

TEST(MakeGuidTextTest, ThirdGroupLowerCaseOthersUpperCase) {
    // Many GUIDs, so that every group has shown letters in both cases' places.
    bool sawThirdLetter = false;
    bool sawOtherLetter = false;
    for (int n = 0; n < 200; ++n) {
        const std::wstring g = MakeGuidText();
        ASSERT_EQ(g.size(), 36u) << Narrow(g);
        for (size_t i = 0; i < g.size(); ++i) {
            if (i == 8 || i == 13 || i == 18 || i == 23) {
                ASSERT_EQ(g[i], L'-') << Narrow(g);
                continue;
            }
            ASSERT_TRUE(std::iswxdigit(g[i])) << Narrow(g);
            if (!std::iswalpha(g[i])) continue;
            const bool third = i > 13 && i < 18;
            if (third) {
                sawThirdLetter = true;
                EXPECT_TRUE(std::iswlower(g[i])) << Narrow(g);
            } else {
                sawOtherLetter = true;
                EXPECT_TRUE(std::iswupper(g[i])) << Narrow(g);
            }
        }
    }
    EXPECT_TRUE(sawThirdLetter);
    EXPECT_TRUE(sawOtherLetter);
    EXPECT_NE(MakeGuidText(), MakeGuidText());
}

TEST(DeleteOrMoveAsideTest, DeletesAFreeFileAndLeavesFolders) {
    const std::wstring root = MakeScratchDir(L"aside");
    MakeFile(root + L"\\free.txt");
    EXPECT_EQ(DeleteOrMoveAside(root + L"\\free.txt"), L"") << "deleted, not moved";
    EXPECT_FALSE(Exists(root + L"\\free.txt"));
    DeleteOrMoveAside(L"");  // no effect
    // A folder where a file should go is not moved away with its contents.
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\folder"));
    MakeFile(root + L"\\folder\\inside.txt");
    DeleteOrMoveAside(root + L"\\folder");
    EXPECT_TRUE(Exists(root + L"\\folder\\inside.txt"));
    DeleteDirectoryTree(root);
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// The GUID-named entries of the temporary folder.
std::set<std::wstring> GuidNamedTempFiles() {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    UniqueFind find(::FindFirstFileW((TempFolder() + L"*-*-*-*-*").c_str(), &entry));
    if (!find) return names;
    do {
        if (std::wcslen(entry.cFileName) == 36) names.insert(entry.cFileName);
    } while (::FindNextFileW(find.get(), &entry));
    return names;
}

// Whether the list of renames due at the next reboot names the file.
bool PendingRenamesMention(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                        0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    ::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size);
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    const bool read =
        ::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    if (!read) return false;
    // A list of zero-terminated names; case-insensitive search for the path.
    for (auto& c : data) c = static_cast<wchar_t>(std::towlower(c));
    std::wstring needle = path;
    for (auto& c : needle) c = static_cast<wchar_t>(std::towlower(c));
    return data.find(needle) != std::wstring::npos;
}

TEST(DeleteOrMoveAsideTest, MovesAHeldFileAsideHiddenUnderAGuidName) {
    const std::wstring root = MakeScratchDir(L"asideheld");
    const std::wstring path = root + L"\\held.exe";
    const std::set<std::wstring> before = GuidNamedTempFiles();
    std::wstring moved;
    {
        MappedImage image(path);
        ASSERT_TRUE(image.held());
        ASSERT_FALSE(::DeleteFileW(path.c_str())) << "a mapped image cannot be deleted";

        const std::wstring target = DeleteOrMoveAside(path);
        EXPECT_FALSE(Exists(path));

        // The temporary folder is on the scratch folder's drive, so the file went there.
        for (const std::wstring& name : GuidNamedTempFiles()) {
            if (!before.count(name)) moved = TempFolder() + name;
        }
        ASSERT_FALSE(moved.empty()) << "no new GUID-named file in the temporary folder";
        EXPECT_EQ(target, moved) << "the place it went is returned";
        EXPECT_TRUE(::GetFileAttributesW(moved.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(ReadFileBytes(moved).substr(0, 2), "MZ");
        EXPECT_TRUE(PendingRenamesMention(moved)) << "not scheduled for deletion at reboot";
    }
    ::SetFileAttributesW(moved.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(moved.c_str());
    DeleteDirectoryTree(root);
}

TEST(WriteWholeFileTest, WritesExactlyTheBytesOrReportsFailure) {
    const std::wstring root = MakeScratchDir(L"wholefile");
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\folder"));
    const struct {
        std::wstring path;
        std::string bytes;
        bool written;
    } cases[] = {
        {root + L"\\log.txt", "removed: \xE6\x96\x87\xE4\xBB\xB6\r\nkept: x\r\n", true},
        {root + L"\\log.txt", "shorter", true},  // replaces, not appends
        {root + L"\\empty.txt", "", true},
        {root + L"\\missing\\log.txt", "x", false},
        {root + L"\\folder", "x", false},
        {L"", "x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteWholeFile(c.path, c.bytes), c.written) << Narrow(c.path);
        if (c.written) {
            EXPECT_EQ(ReadFileBytes(c.path), c.bytes) << Narrow(c.path);
        }
    }
    EXPECT_TRUE(Exists(root + L"\\folder")) << "a folder in the way stays";
    // A link planted at the path is never written through.
    const std::wstring precious = root + L"\\precious.txt";
    ASSERT_TRUE(WriteWholeFile(precious, "precious"));
    if (MakeUnixLink(root + L"\\planted.txt", precious)) {
        WriteWholeFile(root + L"\\planted.txt", "log");
        EXPECT_EQ(ReadFileBytes(precious), "precious");
    }
    DeleteDirectoryTree(root);
}

TEST(SystemTest, WowAnswers) {
    EXPECT_EQ(IsWow64(), IsWow64());  // cached, stable
#if defined(_WIN64)
    EXPECT_FALSE(IsWow64());
    EXPECT_TRUE(Is64BitSystem());
#else
    EXPECT_EQ(Is64BitSystem(), IsWow64());
#endif
}

}  // namespace
