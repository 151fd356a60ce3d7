// Script errors stay invisible to the installer's user, but each one reaches
// the debugger output with the callback's name, the chunk name and the line.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/DebugOutputCapture.h"
#include "app/ScriptRunner.h"
#include "script_api/LuaHeaders.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

TEST(ScriptErrorOutput, EachErrorNamesItsCallbackChunkAndLine) {
    const struct {
        const char* what;
        const char* script;
        std::function<void(ScriptRunner&)> call;
        std::vector<std::string> expected;  // each appears in some output line
    } cases[] = {
        {"runtime error in a progress report",
         "function OnSetupProgress(path, index, count)\n"
         "  local t = nil\n"
         "  return t.x\n"
         "end\n",
         [](ScriptRunner& r) { r.CallOnSetupProgress(L"", 5, 100); },
         {"script error in OnSetupProgress: script:3: attempt to index a nil value (local 't')"}},
        {"error raised in a helper the callback calls",
         "local function writeReg() error('registry failed') end\n"
         "function OnDecompressRet(code) writeReg() end\n",
         [](ScriptRunner& r) { r.CallOnDecompressRet(0); },
         {"script error in OnDecompressRet: script:1: registry failed", "script:2:"}},
        {"an error value that is not a text still shows where it was raised",
         "function ontimer(id)\n"
         "  error({ code = id })\n"
         "end\n",
         [](ScriptRunner& r) { r.CallOnTimer(7); },
         {"script error in ontimer: table: ", "  stack traceback:", "script:2:"}},
        {"error in the window's first callback",
         "function OnInitWnd(wnd) lua_SetText(wnd, 'path', nil .. 'x') end\n",
         [](ScriptRunner& r) { r.CallOnInitWnd(L"mainwnd"); },
         {"script error in OnInitWnd: script:1: attempt to concatenate a nil value"}},
        {"error in the entry callback",
         "function OnRunSetup()\n  lua_Print('starting')\n  undefined_helper()\nend\n",
         [](ScriptRunner& r) { r.CallOnRunSetup(); },
         {"starting",
          "script error in OnRunSetup: script:3: attempt to call a nil value "
          "(global 'undefined_helper')"}},
        {"syntax error: the script does not load",
         "function OnRunSetup()\n  x = = 1\nend\n",
         [](ScriptRunner&) {},
         {"script error in loading the script: script:2: unexpected symbol near '='"}},
        {"error while the script's main chunk runs",
         "local n = 1\nlocal x = n + {}\n",
         [](ScriptRunner&) {},
         {"script error in the script's main chunk: script:2: attempt to perform arithmetic"}},
    };
    for (const auto& c : cases) {
        ScriptRunner& runner = TheScriptRunner();
        ASSERT_TRUE(runner.Open());
        DebugOutputCapture capture;
        runner.ExecuteChunk(c.script, std::strlen(c.script));
        const int top = lua_gettop(runner.State());
        c.call(runner);
        EXPECT_EQ(lua_gettop(runner.State()), top) << c.what;  // errors never pile up
        for (const std::string& part : c.expected) {
            EXPECT_GE(capture.CountContaining(part), 1)
                << c.what << ": no output contains \"" << part << "\"; output:\n"
                << Joined(capture.Lines());
        }
        runner.Close();
    }
}

// A misspelled callback name does nothing; its author sees why, once, even
// for a callback that is called a hundred times.
TEST(ScriptErrorOutput, AMissingCallbackIsNotedOncePerScript) {
    ScriptRunner& runner = TheScriptRunner();
    const char* script = "function OnSetupProgres(path, index, count) end\n";
    for (int run = 0; run < 2; ++run) {  // a new script state notes it again
        ASSERT_TRUE(runner.Open());
        DebugOutputCapture capture;
        runner.ExecuteChunk(script, std::strlen(script));
        for (int i = 0; i < 100; ++i) runner.CallOnSetupProgress(L"", i, 100);
        runner.CallOnDecompressRet(0);
        EXPECT_EQ(capture.CountContaining(
                      "script error in OnSetupProgress: the script defines no such function"),
                  1);
        EXPECT_EQ(capture.CountContaining(
                      "script error in OnDecompressRet: the script defines no such function"),
                  1);
        EXPECT_EQ(capture.Lines().size(), 2u) << Joined(capture.Lines());
        runner.Close();
    }
}

TEST(ScriptErrorOutput, ACallbackThatWorksWritesNothing) {
    ScriptRunner& runner = TheScriptRunner();
    ASSERT_TRUE(runner.Open());
    DebugOutputCapture capture;
    const char* script = "function OnDecompressRet(code) result = code end\n";
    runner.ExecuteChunk(script, std::strlen(script));
    runner.CallOnDecompressRet(-2);
    EXPECT_TRUE(capture.Lines().empty()) << Joined(capture.Lines());
    runner.Close();
}

}  // namespace
