// The uninstaller's removal by the install's list: exactly the listed files,
// folders only when empty, nothing behind a link, nothing in a system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/InstalledFileList.h"
#include "base/PathUtil.h"
#include "support/TestProcess.h"
#include "support/UnixLink.h"

namespace {

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(InstalledFileListTest, ParseDropsLinesThatCouldLeaveTheFolder) {
    struct Case {
        const char* line;
        const wchar_t* path;  // null: dropped
        bool folder;
    } cases[] = {
        {"app.exe", L"app.exe", false},
        {"data\\", L"data", true},
        {"data/more/x.txt", L"data\\more\\x.txt", false},
        {"\xE6\x95\xB0\xE6\x8D\xAE.txt\r", L"\u6570\u636E.txt", false},
        {"..\\outside.txt", nullptr, false},
        {"data\\..\\..\\x", nullptr, false},
        {"C:\\Windows\\win.ini", nullptr, false},
        {"\\rooted.txt", nullptr, false},
        {"file.txt:stream", nullptr, false},
        {"nul", nullptr, false},
        {"a\\\\b", nullptr, false},
        {"", nullptr, false},
    };
    for (const Case& c : cases) {
        const auto entries = InstalledFileList::Parse(c.line);
        if (!c.path) {
            EXPECT_TRUE(entries.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(entries.size(), 1u) << c.line;
        EXPECT_EQ(entries[0].path, c.path) << c.line;
        EXPECT_EQ(entries[0].folder, c.folder) << c.line;
    }
}

class InstalledFileListRemoveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = MakeScratchDir(L"uninstall");
        dir_ = root_ + L"\\Product";
        ASSERT_TRUE(CreateDirectoryTree(dir_ + L"\\data\\deep"));
        for (const wchar_t* f : {L"\\app.exe", L"\\data\\a.txt", L"\\data\\deep\\b.txt"})
            ASSERT_TRUE(WriteFileBytes(dir_ + f, "installed"));
        ASSERT_TRUE(
            WriteFileBytes(dir_ + L"\\install.lst",
                           "app.exe\ndata\\\ndata\\a.txt\ndata\\deep\\\ndata\\deep\\b.txt\n"));
        ASSERT_TRUE(WriteFileBytes(root_ + L"\\beside.txt", "user"));
    }
    std::wstring root_, dir_;
};

TEST_F(InstalledFileListRemoveTest, RemovesEverythingListedAndTheFolder) {
    InstalledFileList list;
    EXPECT_TRUE(list.Remove(dir_, L"install.lst"));
    EXPECT_FALSE(Exists(dir_));
    EXPECT_EQ(list.removed(), 7);
    // Each is named for the log, the folder itself last.
    ASSERT_EQ(list.removedNames().size(), 7u);
    EXPECT_EQ(list.removedNames()[0], dir_ + L"\\app.exe");
    EXPECT_EQ(list.removedNames()[6], dir_);
    EXPECT_TRUE(list.kept().empty());
    EXPECT_EQ(ReadFileBytes(root_ + L"\\beside.txt"), "user");
    // A second run finds nothing left to remove.
    InstalledFileList again;
    EXPECT_TRUE(again.Remove(dir_, L"install.lst"));
    EXPECT_EQ(again.removed(), 0);
}

TEST_F(InstalledFileListRemoveTest, KeepsTheUsersFilesAndTheirFolders) {
    ASSERT_TRUE(WriteFileBytes(dir_ + L"\\data\\deep\\mine.txt", "user"));
    InstalledFileList list;
    EXPECT_TRUE(list.Remove(dir_, L"install.lst"));
    EXPECT_EQ(ReadFileBytes(dir_ + L"\\data\\deep\\mine.txt"), "user");
    EXPECT_FALSE(Exists(dir_ + L"\\app.exe"));
    EXPECT_FALSE(Exists(dir_ + L"\\data\\a.txt"));
    EXPECT_FALSE(Exists(dir_ + L"\\install.lst"));
    ASSERT_EQ(list.kept().size(), 1u);
    EXPECT_NE(list.kept()[0].find(L"mine.txt"), std::wstring::npos);
}

TEST_F(InstalledFileListRemoveTest, NeverFollowsAFolderLinkOutOfTheFolder) {
    const std::wstring outside = MakeScratchDir(L"outside");
    ASSERT_TRUE(WriteFileBytes(outside + L"\\b.txt", "precious"));
    DeleteDirectoryTree(dir_ + L"\\data\\deep");
    if (!MakeUnixLink(dir_ + L"\\data\\deep", outside)) GTEST_SKIP() << "no links here";
    InstalledFileList list;
    EXPECT_TRUE(list.Remove(dir_, L"install.lst"));
    EXPECT_EQ(ReadFileBytes(outside + L"\\b.txt"), "precious");
}

TEST_F(InstalledFileListRemoveTest, RefusesProtectedFoldersAndFoldersWithoutAList) {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    for (const std::wstring& folder : {std::wstring(windows), std::wstring(L"C:\\"), root_,
                                       std::wstring(L"relative\\Product")}) {
        InstalledFileList list;
        EXPECT_FALSE(list.Remove(folder, L"install.lst")) << Narrow(folder);
        EXPECT_EQ(list.removed(), 0);
    }
    EXPECT_TRUE(Exists(dir_ + L"\\app.exe"));
    EXPECT_FALSE(InstalledFileList().Remove(dir_, L"..\\beside.txt"));
}

}  // namespace
