// Ending, starting and waiting for processes from the script.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// The script headers first: app/Handles.h declares lua_close on its own.
#include "support/ScriptTest.h"
#include "app/Handles.h"
#include "support/TestProcess.h"

namespace {

std::string Lua(const std::wstring& text) { return LuaQuote(Narrow(text)); }

// A copy of the sleeper under a name no other test uses, so ending it by
// name cannot touch anything else running in the same Wine prefix.
std::wstring UniqueSleeper(const std::wstring& stem) {
    const std::wstring dir = MakeScratchDir(L"process");
    const std::wstring path =
        dir + L"\\" + stem + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    ::CopyFileW(TestHelperPath(L"sleeper").c_str(), path.c_str(), FALSE);
    return path;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

std::wstring Upper(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(::towupper(c));
    return s;
}

// Waits for a process started by a test, ending it if it outlives the wait.
DWORD EndCode(HANDLE process, DWORD waitMs) {
    if (::WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process, 99);
        ::WaitForSingleObject(process, 5000);
        return 99;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    return code;
}

// The file a started helper writes when it runs; empty when it never came.
std::string WaitForRecord(const std::wstring& path) {
    for (int i = 0; i < 600; ++i) {
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return ReadFileBytes(path);
        }
        ::Sleep(50);
    }
    return {};
}

using ProcessFunctions = ScriptTest;

TEST_F(ProcessFunctions, KillMatchesTheWholeNameInAnyLetterCase) {
    const std::wstring exe = UniqueSleeper(L"KillProbe");
    const struct {
        std::wstring name;
        bool ends;
    } cases[] = {
        {FileNameOf(exe).substr(0, FileNameOf(exe).size() - 4), false},  // without extension
        {L"", false},
        {L"KillProbe.exe", false},        // a prefix of the name
        {FileNameOf(exe) + L"x", false},  // longer than the name
        {Upper(FileNameOf(exe)), true},   // other letter case
    };
    for (const auto& c : cases) {
        PROCESS_INFORMATION pi = StartProcess(exe, L"60000");
        ASSERT_NE(pi.hProcess, nullptr);
        UniqueHandleKernel process(pi.hProcess), thread(pi.hThread);
        ASSERT_EQ(Run("lua_KillProcessByName(" + Lua(c.name) + ")"), "");
        if (c.ends) {
            EXPECT_EQ(EndCode(process.get(), 20000), 0u) << Narrow(c.name);
        } else {
            // Still running once the kill call has returned; then cleaned up.
            EXPECT_EQ(::WaitForSingleObject(process.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT))
                << Narrow(c.name);
            ::TerminateProcess(process.get(), 0);
            ::WaitForSingleObject(process.get(), 5000);
        }
    }
}

TEST_F(ProcessFunctions, KillEndsEveryCopy) {
    const std::wstring exe = UniqueSleeper(L"KillCopies");
    PROCESS_INFORMATION a = StartProcess(exe, L"60000");
    PROCESS_INFORMATION b = StartProcess(exe, L"60000");
    ASSERT_NE(a.hProcess, nullptr);
    ASSERT_NE(b.hProcess, nullptr);
    UniqueHandleKernel pa(a.hProcess), ta(a.hThread), pb(b.hProcess), tb(b.hThread);
    ASSERT_EQ(Run("lua_KillProcessByName(" + Lua(FileNameOf(exe)) + ")"), "");
    EXPECT_EQ(EndCode(pa.get(), 20000), 0u);
    EXPECT_EQ(EndCode(pb.get(), 20000), 0u);
}

TEST_F(ProcessFunctions, ExecuteAndWaitReturnsTheExitCode) {
    const std::string helper = Lua(TestHelperPath(L"exit_with"));
    const struct {
        const char* parameters;
        int64_t code;
    } cases[] = {
        {"'42'", 42},
        {"'0'", 0},
        {"'3000000000'", 3000000000LL},  // widened without sign
        {"'4294967294'", 4294967294LL},
        {"''", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Int("lua_ExcuteAndWait(" + helper + ", " + c.parameters + ", true)"), c.code)
            << c.parameters;
    }
}

TEST_F(ProcessFunctions, ExecuteAndWaitFailures) {
    const std::wstring missing = MakeScratchDir(L"process") + L"\\missing.exe";
    EXPECT_EQ(Int("lua_ExcuteAndWait(" + Lua(missing) + ", '', true)"), 4294967295LL);
    EXPECT_EQ(Int("lua_ExcuteAndWait()"), 4294967295LL);
}

TEST_F(ProcessFunctions, ExecuteWithoutWaitingReportsStillActive) {
    const std::wstring exe = UniqueSleeper(L"NoWait");
    EXPECT_EQ(Int("lua_ExcuteAndWait(" + Lua(exe) + ", '60000', false)"), 259);
    // The sleeper is found by name and ended.
    EXPECT_EQ(Run("lua_KillProcessByName(" + Lua(FileNameOf(exe)) + ")"), "");
}

TEST_F(ProcessFunctions, ExecuteAndWaitPassesTheParameters) {
    const std::wstring record = MakeScratchDir(L"process") + L"\\record.txt";
    EXPECT_EQ(Int("lua_ExcuteAndWait(" + Lua(TestHelperPath(L"exit_with")) + ", " +
                  Lua(L"7 " + record + L" \"two words\"") + ", true)"),
              7);
    const std::string text = ReadFileBytes(record);
    EXPECT_NE(text.find("7 " + Narrow(record) + " \"two words\""), std::string::npos) << text;
}

TEST_F(ProcessFunctions, ExecuteStartsWithAndWithoutVerb) {
    const std::string helper = Lua(TestHelperPath(L"exit_with"));
    for (const char* verb : {"'open'", "''"}) {
        const std::wstring record = MakeScratchDir(L"process") + L"\\record.txt";
        ASSERT_EQ(Run("lua_Excute(" + std::string(verb) + ", " + helper + ", " +
                      Lua(L"0 " + record + L" --flag") + ", false)"),
                  "");
        const std::string text = WaitForRecord(record);
        EXPECT_NE(text.find(Narrow(record) + " --flag"), std::string::npos) << verb << text;
    }
}

TEST_F(ProcessFunctions, ExecuteOfAMissingFileDoesNothing) {
    const std::wstring missing = MakeScratchDir(L"process") + L"\\missing.exe";
    EXPECT_EQ(Run("lua_Excute('open', " + Lua(missing) + ", '', true)"), "");
    EXPECT_EQ(Run("lua_Excute()"), "");
}

TEST_F(ProcessFunctions, CommandLineOfThisProcess) {
    EXPECT_EQ(Text("lua_GetCmdLine()"), Narrow(::GetCommandLineW()));
    EXPECT_TRUE(Bool("lua_hasParam()"));  // every command line contains the empty text
    EXPECT_TRUE(Bool("lua_hasParam('test_process')"));  // the program path counts
    EXPECT_FALSE(Bool("lua_hasParam('/no-such-switch')"));
    EXPECT_FALSE(Bool("lua_IsUpdateMode()"));
    // This test program's own name carries neither marker nor channel.
    EXPECT_FALSE(Bool("lua_IsSilentByFileName()"));
    EXPECT_EQ(Int("lua_GetUinonByFileName()"), 0);
}

TEST_F(ProcessFunctions, RegisteredAsGlobals) {
    for (const char* name : {"lua_KillProcessByName", "lua_Excute", "lua_ExcuteAndWait",
                             "lua_GetCmdLine", "lua_GetUinonByFileName", "lua_IsUpdateMode",
                             "lua_IsSilentByFileName", "lua_ExcuteByUser", "lua_hasParam"}) {
        EXPECT_EQ(Type(name), "function") << name;
    }
}

}  // namespace

#include "script_api/ShellStarter.h"

namespace {

// What the desktop-shell start asks of the shell, without starting anything.
struct ShellCall {
    std::wstring verb, file, parameters;
    bool noDirectory = false;
    int show = -1;
};
std::vector<ShellCall> g_calls;
INT_PTR g_firstResult = 0;

std::wstring OrEmpty(const wchar_t* text) { return text ? text : L""; }

HINSTANCE WINAPI FakeShellExecute(HWND, const wchar_t* verb, const wchar_t* file,
                                  const wchar_t* parameters, const wchar_t* directory, int show) {
    g_calls.push_back(
        {OrEmpty(verb), OrEmpty(file), OrEmpty(parameters), directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(g_calls.size() == 1 ? g_firstResult : 42);
}

TEST(ExecuteByUser, DesktopShellFirstThenTheFileItself) {
    const struct {
        INT_PTR firstResult;
        bool fallback;
    } cases[] = {{33, false}, {42, false}, {32, true}, {2, true}, {0, true}};
    for (const auto& c : cases) {
        g_calls.clear();
        g_firstResult = c.firstResult;
        ShellStarter::ExecuteByUser(L"runas", L"C:\\App\\app.exe", L"--first-run", SW_HIDE,
                                    &FakeShellExecute);
        ASSERT_EQ(g_calls.size(), c.fallback ? 2u : 1u) << c.firstResult;
        // The shell program gets the file only, never its parameters.
        EXPECT_EQ(g_calls[0].verb, L"open");
        EXPECT_EQ(g_calls[0].file, L"explorer.exe");
        EXPECT_EQ(g_calls[0].parameters, L"command=C:\\App\\app.exe");
        EXPECT_TRUE(g_calls[0].noDirectory);
        EXPECT_EQ(g_calls[0].show, SW_SHOWNORMAL);
        if (c.fallback) {
            EXPECT_EQ(g_calls[1].verb, L"runas");
            EXPECT_EQ(g_calls[1].file, L"C:\\App\\app.exe");
            EXPECT_EQ(g_calls[1].parameters, L"--first-run");
            EXPECT_TRUE(g_calls[1].noDirectory);
            EXPECT_EQ(g_calls[1].show, SW_HIDE);
        }
    }
}

using ExecuteByUserScript = ScriptTest;

// Through the real shell the call returns and raises no script error,
// whatever the desktop shell program makes of it.
TEST_F(ExecuteByUserScript, ReturnsWithoutError) {
    const std::wstring record = MakeScratchDir(L"process") + L"\\record.txt";
    EXPECT_EQ(Run("lua_ExcuteByUser('open', " + Lua(TestHelperPath(L"exit_with")) + ", " +
                  Lua(L"0 " + record) + ", false)"),
              "");
    EXPECT_EQ(Run("lua_ExcuteByUser()"), "");
}

}  // namespace
