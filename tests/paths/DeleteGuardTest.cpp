// Recursive deletes of an elevated installer: drive-relative paths, the
// system's own folders, links inside the tree and names that climb out of
// the local data folder never cost the user files outside what was meant.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "base/PathGuard.h"
#include "base/PathUtil.h"
#include "support/ScriptTest.h"
#include "support/TestProcess.h"
#include "support/UnixLink.h"

namespace {

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR text = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &text)) && text) result = text;
    ::CoTaskMemFree(text);
    return result;
}

std::wstring ShortName(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer) : path;
}

class DeleteGuardTest : public ScriptTest {
  protected:
    std::string DeleteDir(const std::wstring& path) {
        return Run("lua_DeleteDir(" + LuaQuote(Narrow(path)) + ")");
    }
};

// A truncated install folder ("C:" with its backslash trimmed) names the
// current folder of that drive to some calls and the drive's root to others.
TEST_F(DeleteGuardTest, DriveRelativePathsNeverReachTheRoot) {
    const std::wstring drive = MakeScratchDir(L"drive");
    ASSERT_TRUE(CreateDirectoryTree(drive + L"\\work") && CreateDirectoryTree(drive + L"\\sub"));
    for (const wchar_t* file : {L"\\keep.txt", L"\\work\\inner.txt", L"\\sub\\deep.txt"})
        ASSERT_TRUE(WriteFileBytes(drive + file, "data"));
    if (!MapDriveLetter(L'Q', drive)) GTEST_SKIP() << "no second drive letter here";
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(L"Q:\\work"));

    const wchar_t* paths[] = {L"Q:",
                              L"q:",
                              L"Q:.",
                              L"Q:work\\..",
                              L"Q:\\",
                              L"Q:\\.",
                              L"Q:\\work\\..",
                              L"Q:/",
                              L"\\",
                              L"",
                              L".",
                              L"..",
                              L"work",
                              L"Q:\\work\\..\\..",
                              L"\\\\?\\Q:\\",
                              L"\\\\?\\Q:",
                              L"\\\\?\\Q:\\work\\..",
                              L"\\\\.\\Q:\\"};
    for (const wchar_t* path : paths) {
        SCOPED_TRACE(Narrow(path));
        EXPECT_EQ(DeleteDir(path), "");
        DeleteDirectoryTree(path);
        for (const wchar_t* file : {L"Q:\\keep.txt", L"Q:\\work\\inner.txt", L"Q:\\sub\\deep.txt"})
            EXPECT_TRUE(Exists(file)) << Narrow(file);
    }
    // A fully qualified folder on that drive still goes.
    EXPECT_EQ(DeleteDir(L"Q:\\sub"), "");
    EXPECT_FALSE(Exists(L"Q:\\sub"));

    ::SetCurrentDirectoryW(saved);
    RemoveDriveLetter(L'Q');
    DeleteDirectoryTree(drive);
}

TEST_F(DeleteGuardTest, SystemAndProfileFoldersStay) {
    const std::wstring desktop = KnownFolder(FOLDERID_Desktop);
    const std::wstring documents = KnownFolder(FOLDERID_Documents);
    const std::wstring profile = KnownFolder(FOLDERID_Profile);
    ASSERT_FALSE(desktop.empty() || documents.empty() || profile.empty());
    ASSERT_TRUE(CreateDirectoryTree(desktop) && CreateDirectoryTree(documents));
    const std::wstring markers[] = {desktop + L"\\marker.txt", documents + L"\\marker.txt"};
    for (const std::wstring& marker : markers) ASSERT_TRUE(WriteFileBytes(marker, "mine"));

    const std::wstring deleted[] = {desktop,        desktop + L"\\", desktop + L"\\.",
                                    desktop + L".", documents,       documents + L"\\sub\\..",
                                    profile};
    for (const std::wstring& path : deleted) {
        SCOPED_TRACE(Narrow(path));
        EXPECT_EQ(DeleteDir(path), "");
        EXPECT_EQ(Run("lua_DeleteDir(lua_LocalDataDir())"), "");
        for (const std::wstring& marker : markers) EXPECT_TRUE(Exists(marker)) << Narrow(marker);
    }
    for (const std::wstring& marker : markers) ::DeleteFileW(marker.c_str());

    // The checks alone, for folders no test should risk deleting.
    const std::wstring users = KnownFolder(FOLDERID_UserProfiles);
    const std::wstring scratch = MakeScratchDir(L"guard");
    const struct {
        std::wstring path;
        bool isProtected;
    } cases[] = {
        {KnownFolder(FOLDERID_Windows), true},
        {KnownFolder(FOLDERID_System), true},
        {KnownFolder(FOLDERID_ProgramFiles), true},
        {KnownFolder(FOLDERID_ProgramData), true},
        {users, true},
        {users + L"\\someone-else", true},  // another user's profile
        {L"C:\\", true},
        {ShortName(KnownFolder(FOLDERID_ProgramFiles)), true},
        {KnownFolder(FOLDERID_ProgramFiles) + L"\\Product", false},
        {scratch, false},
        {scratch + L"\\app", false},
    };
    for (const auto& c : cases) {
        const std::wstring resolved = ResolveFullPath(c.path);
        EXPECT_EQ(IsProtectedFolder(resolved), c.isProtected) << Narrow(c.path);
    }
    DeleteDirectoryTree(scratch);
}

// A folder link inside the tree goes as a link (where the file system lets
// it); its target keeps every file, also through the shell's fallback delete.
TEST_F(DeleteGuardTest, LinksInsideTheTreeAreNeverFollowed) {
    const std::wstring outside = MakeScratchDir(L"linktarget");
    ASSERT_TRUE(WriteFileBytes(outside + L"\\precious.txt", "precious"));
    for (const bool throughScript : {false, true}) {
        SCOPED_TRACE(throughScript);
        const std::wstring root = MakeScratchDir(L"linked");
        ASSERT_TRUE(CreateDirectoryTree(root + L"\\tree\\deeper"));
        ASSERT_TRUE(WriteFileBytes(root + L"\\tree\\own.txt", "own"));
        if (!MakeUnixLink(root + L"\\tree\\deeper\\link", outside) ||
            !MakeUnixLink(root + L"\\tree\\filelink.txt", outside + L"\\precious.txt")) {
            GTEST_SKIP() << "no links";
        }
        if (throughScript) {
            EXPECT_EQ(DeleteDir(root), "");
        } else {
            DeleteDirectoryTree(root);
        }
        EXPECT_EQ(ReadFileBytes(outside + L"\\precious.txt"), "precious");
        EXPECT_FALSE(Exists(root + L"\\tree\\own.txt"));
        // Wine cannot remove a Linux link; Windows removes it with the tree.
        if (Exists(root)) {
            EXPECT_TRUE(Exists(root + L"\\tree\\deeper\\link"));
        }
    }
    DeleteDirectoryTree(outside);
}

TEST_F(DeleteGuardTest, LocalUserDirTakesOnePlainFolderName) {
    const std::string local = Text("lua_LocalDataDir()");
    ASSERT_FALSE(local.empty());
    const std::wstring localDir = Widen(local);
    const std::wstring parent = localDir.substr(0, localDir.find_last_of(L'\\'));
    const std::wstring victims[] = {parent + L"\\Roaming\\SkinsetupVictim",
                                    localDir + L"\\SkinsetupVictim\\sub"};
    for (const std::wstring& victim : victims) {
        ASSERT_TRUE(CreateDirectoryTree(victim));
        ASSERT_TRUE(WriteFileBytes(victim + L"\\file.txt", "x"));
    }
    const char* refused[] = {"..\\\\Roaming\\\\SkinsetupVictim",
                             "../Roaming/SkinsetupVictim",
                             "SkinsetupVictim\\\\sub",
                             "SkinsetupVictim/sub",
                             "..",
                             ".",
                             ". .",
                             "",
                             "C:\\\\x",
                             "nul"};
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Run(std::string("lua_DeleteLocalUserDir(\"") + name + "\")"), "");
        for (const std::wstring& victim : victims)
            EXPECT_TRUE(Exists(victim + L"\\file.txt")) << Narrow(victim);
    }
    EXPECT_EQ(Run("lua_DeleteLocalUserDir('SkinsetupVictim')"), "");
    EXPECT_FALSE(Exists(localDir + L"\\SkinsetupVictim"));
    DeleteDirectoryTree(parent + L"\\Roaming\\SkinsetupVictim");
}

TEST(PathGuardTest, FullyQualifiedPathsAndDeviceNames) {
    for (const wchar_t* path : {L"C:\\", L"c:/x", L"\\\\server\\share", L"\\\\?\\C:\\x"})
        EXPECT_TRUE(IsFullyQualifiedPath(path)) << Narrow(path);
    for (const wchar_t* path : {L"", L"C:", L"C:x", L"\\x", L"/x", L"x\\y", L"\\\\"})
        EXPECT_FALSE(IsFullyQualifiedPath(path)) << Narrow(path);

    for (const wchar_t* name : {L"CON", L"con", L"Prn", L"aux", L"NUL", L"nul.txt", L"nul.tar.gz",
                                L"COM0", L"com1", L"COM9.log", L"LPT1", L"lpt9", L"NUL.", L"nul ",
                                L"aux .txt", L"CON..", L"com\u00B9", L"CONIN$", L"conout$"})
        EXPECT_TRUE(IsReservedDeviceName(name)) << Narrow(name);
    for (const wchar_t* name : {L"", L"CONSOLE", L"nul1", L"COM10", L"LPT", L"com", L"xnul",
                                L".nul", L"my nul", L"lptA", L"CONIN"})
        EXPECT_FALSE(IsReservedDeviceName(name)) << Narrow(name);
}

}  // namespace
