// The script host: callbacks, their errors, and script timers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "app/ScriptRunner.h"
#include "app/SetupApp.h"
#include "app/TaskWindow.h"
#include "support/ScriptTest.h"
#include "support/TestProcess.h"

namespace {

void PumpFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
}

using ScriptHostTest = ScriptTest;

TEST_F(ScriptHostTest, CallbackErrorsAreSwallowedAndStackStaysBalanced) {
    ASSERT_EQ(Run(R"(
        calls = 0
        function OnSetupProgress(path, index, count)
          calls = calls + 1; last = path .. ":" .. index .. "/" .. count
          error("progress failed")
        end
        function OnDecompressRet(code) ret = code; error({}) end
        function ontimer(id) timer = id; error("timer failed") end
        function OnInitWnd(id) wnd = id; error("init failed") end
    )"),
              "");
    const int top = lua_gettop(L);
    auto& runner = TheScriptRunner();
    runner.CallOnSetupProgress(L"C:\\app\\a.dll", 1, 4);
    runner.CallOnSetupProgress(L"C:\\app\\中.dll", 2, 4);  // an error does not stop the next
    runner.CallOnDecompressRet(-3);
    runner.CallOnTimer(5);
    runner.CallOnInitWnd(L"mainwnd");
    EXPECT_EQ(lua_gettop(L), top);
    EXPECT_EQ(Int("calls"), 2);
    EXPECT_EQ(Text("last"), "C:\\app\\中.dll:2/4");
    EXPECT_EQ(Int("ret"), -3);  // negative codes stay negative
    EXPECT_EQ(Int("timer"), 5);
    EXPECT_EQ(Text("wnd"), "mainwnd");
}

TEST_F(ScriptHostTest, UndefinedCallbacksFailSilently) {
    const int top = lua_gettop(L);
    auto& runner = TheScriptRunner();
    runner.CallOnSetupProgress(L"x", 0, 0);
    runner.CallOnDecompressRet(0);
    runner.CallOnTimer(1);
    runner.CallOnInitWnd(L"w");
    runner.CallOnRunSetup();
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(ScriptHostTest, SetTimeSimulateStoresUnsignedMilliseconds) {
    const struct {
        const char* arg;
        uint32_t expected;
    } cases[] = {{"1500", 1500}, {"'250'", 250}, {"'abc'", 0}, {"", 0}, {"-1", 4294967295u}};
    for (const auto& c : cases) {
        TheSetupApp().SetSimulateMs(77);
        ASSERT_EQ(Run(std::string("lua_SetTimeSimulate(") + c.arg + ")"), "");
        EXPECT_EQ(TheSetupApp().SimulateMs(), c.expected) << c.arg;
    }
    TheSetupApp().SetSimulateMs(0);
}

TEST_F(ScriptHostTest, SetExitCodeChoosesTheProcessExitCode) {
    EXPECT_EQ(TheSetupApp().ExitCode(), 0);  // nothing chosen: the process exits with 0
    const struct {
        const char* arg;
        int expected;
    } cases[] = {{"2", 2}, {"'3'", 3}, {"-1", -1}, {"'abc'", 0}, {"", 0}};
    for (const auto& c : cases) {
        TheSetupApp().SetExitCode(77);
        ASSERT_EQ(Run(std::string("lua_SetExitCode(") + c.arg + ")"), "");
        EXPECT_EQ(TheSetupApp().ExitCode(), c.expected) << c.arg;
    }
    TheSetupApp().SetExitCode(0);
}

TEST_F(ScriptHostTest, WriteTextFileWritesTheScriptsBytesAsTheWholeFile) {
    const std::wstring dir = MakeScratchDir(L"writetext");
    const std::string file = Narrow(dir) + "\\log.txt";
    const struct {
        std::string path;
        std::string text;  // Lua source of the text argument
        bool written;
        std::string bytes;
    } cases[] = {
        {file, "'removed: \xE6\x96\x87\\r\\nkept: a\\0b'", true,
         std::string("removed: \xE6\x96\x87\r\nkept: a\0b", 23)},  // zero bytes kept
        {file, "'short'", true, "short"},                          // replaced, not appended
        {file, "nil", true, ""},
        {Narrow(dir) + "\\missing\\log.txt", "'x'", false, ""},
        {"", "'x'", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Bool("lua_WriteTextFile(" + LuaQuote(c.path) + ", " + c.text + ")"), c.written)
            << c.path << " " << c.text;
        if (c.written) {
            EXPECT_EQ(ReadFileBytes(Widen(c.path)), c.bytes) << c.text;
        }
    }
}

TEST_F(ScriptHostTest, WindowlessTimerFiresInAMessageLoopUntilKilled) {
    ASSERT_EQ(Run(R"(
        fired = 0
        function ontimer(id) fired = fired + 1; last = id end
        lua_SetTimer(7, 20)
    )"),
              "");
    EXPECT_EQ(Int("fired"), 0);  // nothing fires before a message loop runs
    const DWORD start = ::GetTickCount();
    while (Int("fired") < 2 && ::GetTickCount() - start < 5000) PumpFor(20);
    EXPECT_GE(Int("fired"), 2);
    EXPECT_EQ(Int("last"), 7);  // the script's own id, not the system's
    ASSERT_EQ(Run("lua_KillTimer(7)"), "");
    PumpFor(30);  // a tick already queued may still arrive
    const int64_t after = Int("fired");
    PumpFor(200);
    EXPECT_EQ(Int("fired"), after);
    EXPECT_EQ(Run("lua_KillTimer(7); lua_KillTimer(99)"), "");  // no such timer: no effect
}

TEST_F(ScriptHostTest, TwoWindowlessTimersKeepTheirIds) {
    ASSERT_EQ(Run(R"(
        seen = {}
        function ontimer(id) seen[id] = true end
        lua_SetTimer(3, 15); lua_SetTimer(4, 15)
    )"),
              "");
    const DWORD start = ::GetTickCount();
    while (!(Bool("seen[3] == true") && Bool("seen[4] == true")) &&
           ::GetTickCount() - start < 5000) {
        PumpFor(20);
    }
    EXPECT_TRUE(Bool("seen[3] == true and seen[4] == true"));
    EXPECT_EQ(Run("lua_KillTimer(3); lua_KillTimer(4)"), "");
}

// An error in OnNotify (also OnNotify missing) shows the engine's text in a
// plain box with an empty caption and ends the process with code 0 once the
// box is closed.
// The message box of this process, if one is shown.
HWND FindOwnBox() {
    HWND box = nullptr;
    while ((box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(box, &pid);
        if (pid == ::GetCurrentProcessId()) return box;
    }
    return nullptr;
}

void NotifyAndExpectBox(const std::string& chunk, const std::wstring& expectedText) {
    // Closes the box after checking it; a wrong box ends the process with
    // another code so that the parent sees it.
    std::thread([expectedText] {
        for (int i = 0; i < 500; ++i) {
            HWND box = FindOwnBox();
            if (box) {
                wchar_t text[512] = {};
                ::GetDlgItemTextW(box, 0xFFFF, text, 512);
                wchar_t caption[64] = {1};
                ::GetWindowTextW(box, caption, 64);
                if (caption[0]) ::ExitProcess(6);           // the caption must be empty
                if (!text[0] || !::IsWindowVisible(box)) {  // still being built
                    ::Sleep(20);
                    continue;
                }
                if (std::wstring(text).find(expectedText) == std::wstring::npos) {
                    std::fprintf(stderr, "box text: %ls\n", text);
                    ::ExitProcess(3);
                }
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(20);
        }
        ::ExitProcess(4);
    }).detach();
    TheScriptRunner().Open();
    TheScriptRunner().ExecuteChunk(chunk.data(), chunk.size());
    TheScriptRunner().CallOnNotify(L"mainwnd", L"btn", L"click");
    ::ExitProcess(5);  // not reached: the error ends the process
}

// The installer runs elevated, often from a Downloads folder: a planted .lua
// or .dll, reached through the environment or the working folder, must
// never run. Only preloaded modules load.
TEST(ScriptModules, RequireLoadsNothingFromDisk) {
    const std::wstring planted = MakeScratchDir(L"planted");
    ASSERT_TRUE(WriteFileBytes(planted + L"\\evil.lua", "planted = true\nreturn {}\n"));
    ASSERT_TRUE(WriteFileBytes(planted + L"\\evil.dll", "MZ"));
    const std::wstring pattern = planted + L"\\?.lua";
    for (const wchar_t* name : {L"LUA_PATH", L"LUA_PATH_5_4"})
        ::SetEnvironmentVariableW(name, pattern.c_str());
    for (const wchar_t* name : {L"LUA_CPATH", L"LUA_CPATH_5_4"})
        ::SetEnvironmentVariableW(name, (planted + L"\\?.dll").c_str());
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ::SetCurrentDirectoryW(planted.c_str());

    ScriptRunner& runner = TheScriptRunner();
    runner.Close();
    ASSERT_TRUE(runner.Open());
    lua_State* L = runner.State();
    const char* checks =
        "assert(not pcall(require, 'evil'))\n"
        "assert(planted == nil)\n"
        "assert(package.path == '' and package.cpath == '')\n"
        "assert(package.loadlib == nil)\n"
        "assert(#package.searchers == 1)\n"
        "assert(require('string') == string)\n"
        "package.preload.builtin = function() return 'preloaded' end\n"
        "assert(require('builtin') == 'preloaded')\n";
    EXPECT_EQ(luaL_dostring(L, checks), LUA_OK) << lua_tostring(L, -1);
    runner.Close();

    ::SetCurrentDirectoryW(saved);
    for (const wchar_t* name : {L"LUA_PATH", L"LUA_PATH_5_4", L"LUA_CPATH", L"LUA_CPATH_5_4"})
        ::SetEnvironmentVariableW(name, nullptr);
    ::DeleteFileW((planted + L"\\evil.lua").c_str());
    ::DeleteFileW((planted + L"\\evil.dll").c_str());
    ::RemoveDirectoryW(planted.c_str());
}

TEST(ScriptHostDeathTest, OnNotifyErrorShowsBoxAndExitsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(NotifyAndExpectBox("function OnNotify(w, c, e) error('notify failed') end",
                                   L"notify failed"),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(NotifyAndExpectBox("x = 1", L"attempt to call a nil value"),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
