// Whole installers built from small scripts, run as separate processes.
#include <gtest/gtest.h>

#include "app/Handles.h"
#include "app/Startup.h"
#include "support/TestProcess.h"

namespace {

TEST(Startup, SystemVersionRule) {
    const struct {
        unsigned major;
        bool supported;
    } cases[] = {{0, false}, {4, false}, {5, false}, {6, true}, {10, true}};
    for (const auto& c : cases) {
        NtVersion v;
        v.major = c.major;
        EXPECT_EQ(IsSupportedSystem(v), c.supported) << c.major;
    }
    EXPECT_GE(QueryNtVersion().major, 6u);  // the test prefix reports a supported system
}

TEST(Startup, ScriptRunsChunkThenOnRunSetup) {
    const ProcessResult r = RunProcess(TestInstallerPath(L"prints.exe"), L"");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_NE(r.output.find("chunk ran\r\nOnRunSetup ran"), std::string::npos) << r.output;
}

TEST(Startup, EarlyEndsExitWithZero) {
    const struct {
        const wchar_t* installer;
        const char* expectedOutput;  // null: nothing at all
    } cases[] = {
        {L"syntax_error.exe", nullptr},  // chunk never runs
        {L"no_onrunsetup.exe", "chunk ran without OnRunSetup"},
        {L"runtime_error.exe", "before the error\r\nOnRunSetup ran"},
        {L"no_script.exe", nullptr},  // no script resource
    };
    for (const auto& c : cases) {
        const ProcessResult r = RunProcess(TestInstallerPath(c.installer), L"");
        ASSERT_TRUE(r.started) << Narrow(c.installer);
        EXPECT_FALSE(r.timedOut) << Narrow(c.installer);
        EXPECT_EQ(r.exitCode, 0u) << Narrow(c.installer);
        if (c.expectedOutput) {
            EXPECT_NE(r.output.find(c.expectedOutput), std::string::npos) << r.output;
        } else {
            EXPECT_EQ(r.output.find("never"), std::string::npos) << r.output;
        }
    }
}

struct BoxSearch {
    DWORD pid;
    HWND found;
    const wchar_t* cls = L"#32770";
    bool visibleOnly = true;
};

BOOL CALLBACK FindBoxOfProcess(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    wchar_t cls[32] = {};
    ::GetClassNameW(wnd, cls, 32);
    if (pid == s->pid && std::wstring(cls) == s->cls &&
        (!s->visibleOnly || ::IsWindowVisible(wnd))) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Wine reports Windows XP to programs of this name (set below), the way an
// old system would: the installer shows its refusal and ends with code 0
// before running any script.
TEST(Startup, RefusesWindowsXpWithMessageBox) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\xp_refusal.exe",
                                0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueKey owned(key);
    const wchar_t xp[] = L"winxp";
    ::RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(xp), sizeof(xp));

    PROCESS_INFORMATION pi = StartProcess(TestInstallerPath(L"xp_refusal.exe"), L"");
    ASSERT_NE(pi.hProcess, nullptr);
    UniqueHandleKernel process(pi.hProcess), thread(pi.hThread);
    BoxSearch search{pi.dwProcessId, nullptr};
    for (int i = 0; i < 500 && !search.found; ++i) {
        ::Sleep(20);
        ::EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
    }
    ASSERT_NE(search.found, nullptr) << "no refusal box";
    wchar_t caption[64] = {}, text[256] = {};
    ::GetWindowTextW(search.found, caption, 64);
    ::GetDlgItemTextW(search.found, 0xFFFF, text, 256);
    EXPECT_STREQ(caption, L"错误");
    EXPECT_STREQ(text, L"该软件不支持 Windows XP ");
    // The refusal comes before the task window exists.
    BoxSearch taskWindow{pi.dwProcessId, nullptr, L"ThreadSyn#Wnd", false};
    ::EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&taskWindow));
    EXPECT_EQ(taskWindow.found, nullptr);
    ::PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\xp_refusal.exe");
}

}  // namespace
