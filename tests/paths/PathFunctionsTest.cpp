// The path, file and system information host functions, driven through the
// installer's own script state.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/PathUtil.h"
#include "support/ScriptTest.h"
#include "support/TestProcess.h"

namespace {

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Q(const std::wstring& path) { return LuaQuote(Narrow(path)); }

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(WriteFileBytes(path, "data")) << Narrow(path);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << Narrow(path);
}

std::wstring Expand(const wchar_t* text) {
    wchar_t buffer[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(text, buffer, MAX_PATH);
    return buffer;
}

std::wstring LocalAppData() {
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_LOCAL_APPDATA, FALSE);
    return buffer;
}

using PathFunctionsTest = ScriptTest;

TEST_F(PathFunctionsTest, EveryFunctionIsRegisteredAndToleratesMissingArguments) {
    const struct {
        const char* call;
        const char* type;
    } cases[] = {
        {"lua_Print()", "nil"},
        {"lua_Environment()", "string"},
        {"lua_LocalDataDir()", "string"},
        {"lua_ProgramDir()", "string"},
        {"lua_ProgramDir64()", "string"},
        {"lua_TempDir()", "string"},
        {"lua_Wow64()", "boolean"},
        {"lua_CheckCreateDir()", "boolean"},
        {"lua_getPathFileName()", "string"},
        {"lua_getExeFileName()", "string"},
        {"lua_GetOsVer()", "number"},
        {"lua_getCurDate()", "number"},
        {"lua_DeleteFile()", "nil"},
        {"lua_DeleteDir()", "nil"},
        {"lua_DeleteLocalUserDir()", "nil"},
        {"lua_PathAppend()", "string"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Type(c.call), c.type) << c.call;
    }
    EXPECT_EQ(Int("select('#', lua_GetOsVer())"), 3);
    EXPECT_EQ(Int("select('#', lua_Print('hello'))"), 0);
    EXPECT_EQ(Int("select('#', lua_DeleteFile(''))"), 0);
    EXPECT_EQ(Int("select('#', lua_getCurDate())"), 1);
    EXPECT_FALSE(Bool("lua_CheckCreateDir()"));
    EXPECT_EQ(Text("lua_PathAppend()"), "");
}

TEST_F(PathFunctionsTest, PathAppendJoinsWithOneBackslash) {
    const struct {
        const char* call;
        const char* expected;
    } cases[] = {
        {R"(lua_PathAppend('C:\\a', 'b'))", R"(C:\a\b)"},
        {R"(lua_PathAppend('C:\\a\\', '\\b'))", R"(C:\a\b)"},
        {R"(lua_PathAppend('', '\\b'))", "b"},
        {R"(lua_PathAppend('C:\\a', ''))", R"(C:\a\)"},
        {R"(lua_PathAppend('C:\\中文', 'é.txt'))", R"(C:\中文\é.txt)"},
        {R"(lua_PathAppend(1001, 2))", R"(1001\2)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.call), c.expected) << c.call;
    }
}

TEST_F(PathFunctionsTest, GetPathFileNameTakesTheLastComponent) {
    EXPECT_EQ(Text(R"(lua_getPathFileName('C:\\Program Files\\App'))"), "App");
    EXPECT_EQ(Text(R"(lua_getPathFileName('C:\\a\\setup_1001.exe'))"), "setup_1001.exe");
    EXPECT_EQ(Text(R"(lua_getPathFileName('plain'))"), "plain");
    EXPECT_EQ(Text(R"(lua_getPathFileName('C:\\'))"), R"(C:\)");
    EXPECT_EQ(Text("lua_getExeFileName()"), "test_paths.exe");
}

TEST_F(PathFunctionsTest, FolderQueriesMatchThePlatform) {
    EXPECT_EQ(Text("lua_LocalDataDir()"), Narrow(LocalAppData()));
    EXPECT_FALSE(Text("lua_LocalDataDir()").empty());
    EXPECT_FALSE(Text("lua_ProgramDir()").empty());
    EXPECT_EQ(Text("lua_ProgramDir64()"), Narrow(Expand(L"%ProgramW6432%")));
    EXPECT_NE(Text("lua_ProgramDir64()"), "%ProgramW6432%");  // a 64-bit system
    const std::string temp = Text("lua_TempDir()");
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_FALSE(Bool("lua_Wow64()"));  // the 64-bit build runs natively
}

TEST_F(PathFunctionsTest, EnvironmentExpandsVariables) {
    EXPECT_EQ(Text(R"(lua_Environment('%SystemRoot%\\x'))"), Narrow(Expand(L"%SystemRoot%\\x")));
    EXPECT_NE(Text("lua_Environment('%SystemRoot%')"), "%SystemRoot%");
    EXPECT_EQ(Text("lua_Environment('%skinsetup_not_defined%')"), "%skinsetup_not_defined%");
    EXPECT_EQ(Text("lua_Environment('plain text')"), "plain text");
    // More than the 260-unit buffer holds: a failure, so empty text.
    EXPECT_EQ(Text("lua_Environment(string.rep('x', 300))"), "");
    EXPECT_EQ(Text("lua_Environment(string.rep('x', 259))"), std::string(259, 'x'));
}

TEST_F(PathFunctionsTest, OsVersionAndDate) {
    ASSERT_EQ(Run("major, minor, build = lua_GetOsVer()"), "");
    EXPECT_GE(Int("major"), 6);
    EXPECT_GE(Int("minor"), 0);
    EXPECT_GT(Int("build"), 0);
    EXPECT_LE(Int("build"), 0xFFFF);

    SYSTEMTIME before = {};
    ::GetLocalTime(&before);
    const int64_t date = Int("lua_getCurDate()");
    SYSTEMTIME after = {};
    ::GetLocalTime(&after);
    const auto number = [](const SYSTEMTIME& t) {
        return int64_t{t.wYear} * 10000 + t.wMonth * 100 + t.wDay;
    };
    EXPECT_TRUE(date == number(before) || date == number(after)) << date;
}

TEST_F(PathFunctionsTest, CheckCreateDir) {
    const std::wstring root = MakeScratchDir(L"checkcreate");
    EXPECT_TRUE(Bool("lua_CheckCreateDir(" + Q(root) + ")"));  // existing
    EXPECT_TRUE(Bool("lua_CheckCreateDir(" + Q(root + L"\\新\\b\\c") + ")"));
    EXPECT_TRUE(Exists(root + L"\\新\\b\\c"));
    EXPECT_FALSE(Bool(R"(lua_CheckCreateDir('Q:\\missing\\drive'))"));
    DeleteDirectoryTree(root);
}

TEST_F(PathFunctionsTest, DeleteFileLeavesAttributesAlone) {
    const std::wstring root = MakeScratchDir(L"deletefile");
    MakeFile(root + L"\\plain.txt");
    MakeFile(root + L"\\ro.txt", FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(Run("lua_DeleteFile(" + Q(root + L"\\plain.txt") + ")"), "");
    ASSERT_EQ(Run("lua_DeleteFile(" + Q(root + L"\\ro.txt") + ")"), "");
    EXPECT_FALSE(Exists(root + L"\\plain.txt"));
    EXPECT_TRUE(Exists(root + L"\\ro.txt"));
    DeleteDirectoryTree(root);
}

TEST_F(PathFunctionsTest, DeleteDirRemovesTreesAndFiles) {
    const std::wstring root = MakeScratchDir(L"deletedir");
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\tree\\a\\b"));
    MakeFile(root + L"\\tree\\a\\ro.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(root + L"\\tree\\a\\b\\x.txt");
    MakeFile(root + L"\\file.txt", FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(Run("lua_DeleteDir(" + Q(root + L"\\tree") + ")"), "");
    EXPECT_FALSE(Exists(root + L"\\tree"));
    ASSERT_EQ(Run("lua_DeleteDir(" + Q(root + L"\\file.txt") + ")"), "");
    EXPECT_FALSE(Exists(root + L"\\file.txt"));  // attributes cleared first
    ASSERT_EQ(Run("lua_DeleteDir('')"), "");
    EXPECT_TRUE(Exists(root));
    DeleteDirectoryTree(root);
}

TEST_F(PathFunctionsTest, DeleteDirRemovesFoldersWithLongPaths) {
    const std::wstring root = MakeScratchDir(L"deletelong");
    std::wstring deep = root;
    while (deep.size() < 400) deep += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(::CreateDirectoryW((root + L"\\" + std::wstring(40, L'd')).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryTree(deep)) << "long paths are not available here";
    MakeFile(deep + L"\\deep.txt");
    const std::wstring top = root + L"\\" + std::wstring(40, L'd');
    ASSERT_EQ(Run("lua_DeleteDir(" + Q(top) + ")"), "");
    EXPECT_FALSE(Exists(top));
    DeleteDirectoryTree(root);
}

TEST_F(PathFunctionsTest, DeleteLocalUserDirStaysUnderLocalAppData) {
    const std::wstring name = L"skinsetup-test-local-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring folder = LocalAppData() + L"\\" + name;
    ASSERT_TRUE(CreateDirectoryTree(folder + L"\\sub"));
    MakeFile(folder + L"\\sub\\f.txt", FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(Run("lua_DeleteLocalUserDir(" + Q(name) + ")"), "");
    EXPECT_FALSE(Exists(folder));
    // An empty name deletes nothing, least of all the local data folder itself.
    ASSERT_EQ(Run("lua_DeleteLocalUserDir('')"), "");
    EXPECT_TRUE(Exists(LocalAppData()));
}

}  // namespace
