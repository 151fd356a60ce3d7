// Desktop, start menu and taskbar shortcuts, read back through the shell.
#include <gtest/gtest.h>

// The script headers first: app/Handles.h declares lua_close on its own.
#include "support/ScriptTest.h"
#include "app/Handles.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <iostream>
#include <string>

#include "script_api/ShellLink.h"
#include "script_api/TaskbarPin.h"
#include "support/TestProcess.h"

namespace {

std::string Lua(const std::wstring& text) { return LuaQuote(Narrow(text)); }

struct LinkInfo {
    bool loaded = false;
    std::wstring target, arguments, workingDir;
};

LinkInfo ReadLink(const std::wstring& file) {
    LinkInfo info;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void()))) {
        return info;
    }
    ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
    if (!persist || FAILED(persist->Load(file.c_str(), STGM_READ))) return info;
    wchar_t text[1024] = {};
    link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    info.target = text;
    text[0] = 0;
    link->GetArguments(text, 1024);
    info.arguments = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, 1024);
    info.workingDir = text;
    info.loaded = true;
    return info;
}

bool Exists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

// A name no other test run uses, since the shortcut folders are shared.
std::wstring UniqueName(const std::wstring& stem) {
    static int counter = 0;
    return stem + L" " + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
}

class ShortcutFunctions : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        com_ = SUCCEEDED(::CoInitialize(nullptr));
        dir_ = MakeScratchDir(L"shortcut");
        target_ = dir_ + L"\\App.exe";
        ::CopyFileW(TestHelperPath(L"exit_with").c_str(), target_.c_str(), FALSE);
    }
    void TearDown() override {
        if (com_) ::CoUninitialize();
        ScriptTest::TearDown();
    }

    bool com_ = false;
    std::wstring dir_, target_;
};

TEST_F(ShortcutFunctions, DesktopShortcutWithoutArguments) {
    const std::wstring name = UniqueName(L"Desk");
    const std::wstring file = Folder(CSIDL_DESKTOP) + L"\\" + name + L".lnk";
    ASSERT_EQ(Run("lua_CreateDesktopLnk(" + Lua(target_) + ", " + Lua(name) + ", '', 'AppId')"),
              "");
    const LinkInfo link = ReadLink(file);
    ASSERT_TRUE(link.loaded) << Narrow(file);
    EXPECT_EQ(link.target, target_);
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.workingDir, dir_);  // the target's folder

    ASSERT_EQ(Run("lua_DeleteDesktopShortcut(" + Lua(name) + ")"), "");
    EXPECT_FALSE(Exists(file));
}

TEST_F(ShortcutFunctions, TargetAndLinkNameAreExpanded) {
    ::SetEnvironmentVariableW(L"SKINSETUP_SHORTCUT_DIR", dir_.c_str());
    ::SetEnvironmentVariableW(L"SKINSETUP_SHORTCUT_SUFFIX", L"Expanded");
    const std::wstring name = UniqueName(L"Env");
    const std::wstring file = Folder(CSIDL_DESKTOP) + L"\\" + name + L" Expanded.lnk";
    ASSERT_EQ(Run("lua_CreateDesktopLnk('%SKINSETUP_SHORTCUT_DIR%\\\\App.exe', " +
                  Lua(name + L" %SKINSETUP_SHORTCUT_SUFFIX%") + ", '--tray /x \"a b\"')"),
              "");
    const LinkInfo link = ReadLink(file);
    ASSERT_TRUE(link.loaded) << Narrow(file);
    EXPECT_EQ(link.target, target_);
    EXPECT_EQ(link.arguments, L"--tray /x \"a b\"");
    EXPECT_EQ(link.workingDir, dir_);
    ::DeleteFileW(file.c_str());
}

TEST_F(ShortcutFunctions, MissingFolderIsCreated) {
    const std::wstring folder = dir_ + L"\\new\\deeper";
    CreateShortcut(target_, folder, L"Made", L"");
    EXPECT_TRUE(ReadLink(folder + L"\\Made.lnk").loaded);
}

TEST_F(ShortcutFunctions, NothingIsWrittenWithoutAFolder) {
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::wstring name = UniqueName(L"NoFolder");
    CreateShortcut(target_, L"", name, L"");
    EXPECT_FALSE(Exists(std::wstring(cwd, 2) + L"\\" + name + L".lnk"));
}

TEST_F(ShortcutFunctions, StartMenuFolderStaysWhileNotEmpty) {
    const std::wstring folderName = UniqueName(L"Skinsetup Test");
    const std::wstring folder = Folder(CSIDL_COMMON_PROGRAMS) + L"\\" + folderName;
    const std::wstring file = folder + L"\\Start.lnk";
    ASSERT_EQ(Run("lua_CreateStartMenuShortcurt(" + Lua(folderName) + ", " + Lua(target_) +
                  ", 'Start', '-s', 'AppId')"),
              "");
    const LinkInfo link = ReadLink(file);
    ASSERT_TRUE(link.loaded) << Narrow(file);
    EXPECT_EQ(link.target, target_);
    EXPECT_EQ(link.arguments, L"-s");

    const std::wstring other = folder + L"\\readme.txt";
    ASSERT_TRUE(WriteFileBytes(other, "keep"));
    ASSERT_EQ(Run("lua_DeleteStartMenuShortcurt(" + Lua(folderName) + ", 'Start')"), "");
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(Exists(folder));  // another file is still in it
    EXPECT_EQ(ReadFileBytes(other), "keep");

    ::DeleteFileW(other.c_str());
    ASSERT_EQ(Run("lua_DeleteStartMenuShortcurt(" + Lua(folderName) + ", 'Start')"), "");
    EXPECT_FALSE(Exists(folder));  // empty now, so removed
}

TEST_F(ShortcutFunctions, DeletingWithoutAFolderNameKeepsTheProgramsFolder) {
    ASSERT_EQ(Run("lua_DeleteStartMenuShortcurt('', 'Nothing')"), "");
    EXPECT_TRUE(Exists(Folder(CSIDL_COMMON_PROGRAMS)));
}

TEST_F(ShortcutFunctions, DesktopShortcutIsDeletedFromBothDesktops) {
    const std::wstring name = UniqueName(L"Both");
    const std::wstring user = Folder(CSIDL_DESKTOP) + L"\\" + name + L".lnk";
    const std::wstring common = Folder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + name + L".lnk";
    CreateShortcut(target_, Folder(CSIDL_DESKTOP), name, L"");
    CreateShortcut(target_, Folder(CSIDL_COMMON_DESKTOPDIRECTORY), name, L"");
    ASSERT_TRUE(Exists(user));
    ASSERT_TRUE(Exists(common));
    ASSERT_EQ(Run("lua_DeleteDesktopShortcut(" + Lua(name) + ")"), "");
    EXPECT_FALSE(Exists(user));
    EXPECT_FALSE(Exists(common));
}

TEST_F(ShortcutFunctions, QuickLaunchFolder) {
    EXPECT_EQ(GetQuickLaunchDir(),
              Folder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch");
}

// On this system the pin request goes one way; the test says which, and
// checks that the shortcut's fate matches where the request ended.
TEST_F(ShortcutFunctions, TaskbarShortcut) {
    const std::wstring name = UniqueName(L"Bar");
    const std::wstring file = GetQuickLaunchDir() + L"\\" + name + L".lnk";
    ASSERT_EQ(Run("lua_CreateTaskBarLnk(" + Lua(target_) + ", " + Lua(name) + ", '-t', 'Id')"), "");
    const LinkInfo link = ReadLink(file);
    ASSERT_TRUE(link.loaded) << Narrow(file);  // a failed pin leaves the shortcut
    EXPECT_EQ(link.target, target_);
    EXPECT_EQ(link.arguments, L"-t");

    PinTrace pin;
    EXPECT_TRUE(SetTaskbarPin(true, file, &pin) || pin.route == PinRoute::ShellVerb);
    std::cout << "taskbar pin here: route=" << PinRouteName(pin.route)
              << " step=" << PinStepName(pin.step) << std::endl;
    RecordProperty("pin_route", PinRouteName(pin.route));
    RecordProperty("pin_step", PinStepName(pin.step));

    ASSERT_EQ(Run("lua_DeleteTaskBarShortcut(" + Lua(name) + ")"), "");
    const bool reached = pin.step == PinStep::VerbInvoked || pin.step == PinStep::Modified ||
                         pin.step == PinStep::AlreadyDone;
    EXPECT_EQ(Exists(file), !reached) << PinStepName(pin.step);
    ::DeleteFileW(file.c_str());
}

TEST_F(ShortcutFunctions, DeletingAMissingTaskbarShortcutPausesAndDeletesNothing) {
    const std::wstring name = UniqueName(L"Missing");
    const std::wstring other = GetQuickLaunchDir() + L"\\" + name + L" other.lnk";
    CreateShortcut(target_, GetQuickLaunchDir(), name + L" other", L"");
    ASSERT_TRUE(Exists(other));
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ASSERT_EQ(Run("lua_DeleteTaskBarShortcut(" + Lua(name) + ")"), "");
    ::QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    EXPECT_GE(ms, 180.0);  // the pause is not skipped
    EXPECT_TRUE(Exists(other));
    ::DeleteFileW(other.c_str());
}

TEST_F(ShortcutFunctions, ShellVerbOnAMissingFileSucceedsWithoutDoingAnything) {
    PinStep step = PinStep::Modified;
    EXPECT_TRUE(InvokeShellVerb(5386, dir_ + L"\\missing.lnk", &step));
    EXPECT_EQ(step, PinStep::NoFile);
    EXPECT_TRUE(InvokeShellVerb(5386, L"", &step));
    EXPECT_EQ(step, PinStep::NoFile);
}

TEST_F(ShortcutFunctions, RegisteredAsGlobals) {
    for (const char* name : {"lua_CreateDesktopLnk", "lua_CreateTaskBarLnk",
                             "lua_CreateStartMenuShortcurt", "lua_DeleteStartMenuShortcurt",
                             "lua_DeleteDesktopShortcut", "lua_DeleteTaskBarShortcut"}) {
        EXPECT_EQ(Type(name), "function") << name;
    }
}

}  // namespace

namespace {

// Runs the pin probe as a program Wine reports as the given Windows version.
std::string RunPinProbe(const wchar_t* version, const std::wstring& args) {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\pin_probe.exe";
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                          nullptr) != ERROR_SUCCESS) {
        return "no AppDefaults key";
    }
    UniqueKey owned(raw);
    ::RegSetValueExW(raw, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                     static_cast<DWORD>((std::wcslen(version) + 1) * sizeof(wchar_t)));
    const ProcessResult result = RunProcess(TestHelperPath(L"pin_probe"), args);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key);
    return result.output;
}

// Which route each Windows version takes here, and what the platform does
// there: printed, and the shortcut's fate checked against where it ended.
TEST(TaskbarPinRoutes, EachWindowsVersionTakesItsRoute) {
    const struct {
        const wchar_t* version;
        const char* route;
    } cases[] = {
        {L"win7", "route=shell verb "},
        {L"win81", "route=shell verb "},
        {L"win10", "route=taskband pin object "},
    };
    for (const auto& c : cases) {
        const std::wstring dir = MakeScratchDir(L"pin");
        CreateShortcut(TestHelperPath(L"exit_with"), dir, L"Pinned", L"");
        const std::wstring file = dir + L"\\Pinned.lnk";
        ASSERT_TRUE(Exists(file));

        const std::string pin = RunPinProbe(c.version, L"pin \"" + file + L"\"");
        const std::string unpin = RunPinProbe(c.version, L"unpin \"" + file + L"\"");
        std::cout << Narrow(c.version) << ": pin " << pin << Narrow(c.version) << ": unpin "
                  << unpin;
        EXPECT_EQ(pin.rfind(c.route, 0), 0u) << pin;
        EXPECT_EQ(unpin.rfind(c.route, 0), 0u) << unpin;
        const bool reached = unpin.find("step=verb invoked") != std::string::npos ||
                             unpin.find("step=modified") != std::string::npos ||
                             unpin.find("step=already in that state") != std::string::npos;
        EXPECT_EQ(Exists(file), !reached) << unpin;
        if (std::string(c.route).find("taskband") != std::string::npos) {
            EXPECT_NE(pin.find("result=1"), std::string::npos) << pin;  // always true there
        }
    }
}

}  // namespace
