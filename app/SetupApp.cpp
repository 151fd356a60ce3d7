#include "app/SetupApp.h"

#include <windows.h>

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/ScriptRunner.h"
#include "app/SetupMsgBox.h"
#include "app/SetupWnd.h"
#include "base/DecimalText.h"
#include "base/InstalledFileList.h"
#include "base/PathUtil.h"
#include "package/ExtractionWorker.h"
#include "script_api/CommandLineRules.h"
#include "script_api/HostFunctions.h"
#include "script_api/ScriptArgs.h"

namespace {

// Process-wide objects, constructed in this order before the entry runs.
SetupApp g_setupApp;
ScriptRunner g_scriptRunner;

int lua_SetTimeSimulate(lua_State* L) {
    g_setupApp.SetSimulateMs(static_cast<uint32_t>(ArgInt(L, 1)));
    return 0;
}

// Deployment tools judge an unattended install by its exit code.
int lua_SetExitCode(lua_State* L) {
    g_setupApp.SetExitCode(ArgInt(L, 1));
    return 0;
}

// The value of an argument such as "/dir=PATH", quotes resolved.
int lua_GetParamValue(lua_State* L) {
    const wchar_t* line = ::GetCommandLineW();
    PushText(L, CommandLineRules::ParamValue(line ? line : L"", ArgText(L, 1)));
    return 1;
}

void PushTextList(lua_State* L, const std::vector<std::wstring>& texts) {
    lua_createtable(L, static_cast<int>(texts.size()), 0);
    int index = 0;
    for (const std::wstring& text : texts) {
        PushText(L, text);
        lua_rawseti(L, -2, ++index);
    }
}

// Removes what an install recorded in its folder's list. Results: the number
// of things removed (-1 when the folder may not be touched or has no
// readable list), a table naming what stays and why, and one naming what
// was removed.
int lua_RemoveInstalled(lua_State* L) {
    InstalledFileList list;
    const bool read = list.Remove(ArgText(L, 1), ArgText(L, 2));
    lua_pushinteger(L, read ? list.removed() : -1);
    for (const std::wstring& text : list.kept()) ::OutputDebugStringW((L"kept: " + text).c_str());
    PushTextList(L, list.kept());
    PushTextList(L, list.removedNames());
    return 3;
}

// Writes the script's text, as its bytes are (UTF-8), as a whole file: the
// uninstaller's log. Whether it was written.
int lua_WriteTextFile(lua_State* L) {
    size_t size = 0;
    const char* bytes = lua_type(L, 2) == LUA_TSTRING ? lua_tolstring(L, 2, &size) : "";
    lua_pushboolean(L, WriteWholeFile(ArgText(L, 1), std::string_view(bytes, size)));
    return 1;
}

// The application's own host functions, registered in this order after the
// common ones.
const HostFunction kSetupFunctions[] = {
    {"lua_StartDecompress", lua_StartDecompress}, {"lua_MsgBox", lua_MsgBox},
    {"lua_SetTimeSimulate", lua_SetTimeSimulate}, {"lua_SetExitCode", lua_SetExitCode},
    {"lua_GetParamValue", lua_GetParamValue},     {"lua_RemoveInstalled", lua_RemoveInstalled},
    {"lua_WriteTextFile", lua_WriteTextFile},
};

}  // namespace

LuaApp* HostInstance() { return &g_setupApp; }
SetupApp& TheSetupApp() { return g_setupApp; }
ScriptRunner& TheScriptRunner() { return g_scriptRunner; }

SetupApp::~SetupApp() {
    windows_.clear();
    scriptTimers_.clear();
}

void SetupApp::RegisterSetupFunctions(lua_State* L) {
    for (const HostFunction& f : kSetupFunctions) lua_register(L, f.name, f.function);
}

SetupWnd* SetupApp::FindWnd(const std::wstring& wndId) {
    for (SetupWnd* wnd : windows_) {
        if (wnd->WindowId() == wndId) return wnd;
    }
    return nullptr;
}

std::wstring SetupApp::ShowWnd(const std::wstring& wndId, const std::wstring& layoutPath,
                               const std::wstring& title) {
    const HWND owner = GetOwnerWindow();  // before the new window joins the list
    UIRefPtr<SetupWnd> wnd = UIRefPtr<SetupWnd>::Adopt(new SetupWnd());
    wnd->SetTitle(title);
    wnd->SetWindowId(wndId);
    windows_.push_back(wnd.get());
    const std::wstring endCode = wnd->Run(layoutPath, owner);
    // Nested windows end in the reverse order of opening: the last entry is
    // the window just run.
    windows_.pop_back();
    return endCode;
}

HWND SetupApp::GetOwnerWindow() {
    return windows_.empty() ? nullptr : windows_.back()->GetNativeWindow();
}

void SetupApp::EndWnd(const std::wstring& wndId, const std::wstring& endCode) {
    if (SetupWnd* wnd = FindWnd(wndId)) wnd->End(endCode);
}

void CALLBACK SetupApp::ThreadTimerProc(HWND, UINT, UINT_PTR systemId, DWORD) {
    for (const auto& [scriptId, sysId] : g_setupApp.threadTimers_) {
        if (sysId == systemId) {
            TheScriptRunner().CallOnTimer(scriptId);
            return;
        }
    }
}

void SetupApp::SetScriptTimer(int id, int intervalMs) {
    if (windows_.empty()) {
        KillScriptTimer(id);  // one timer per script id
        const UINT_PTR sys =
            ::SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), &SetupApp::ThreadTimerProc);
        if (sys) threadTimers_[id] = sys;
        return;
    }
    // The window's own caret blink is timer 1 and only seven bits of the id
    // travel with the window timer, so these ids are kept but never fire;
    // say so where an author looking for a silent timer will see it.
    if (id == 1 || id < 0 || id > 127) {
        ::OutputDebugStringW((L"script timer " + DecimalText(id) +
                              L" never fires while a window is open: use 0 or 2 to 127")
                                 .c_str());
    }
    scriptTimers_[id] = 1;
    // Script timers live on the oldest open window.
    SetupWnd* first = windows_.front();
    if (HWND hwnd = first->GetNativeWindow()) {
        ::SetTimer(hwnd, first->ScriptTimerCode(id), static_cast<UINT>(intervalMs), nullptr);
    }
}

void SetupApp::KillScriptTimer(int id) {
    if (windows_.empty()) {
        auto it = threadTimers_.find(id);
        if (it == threadTimers_.end()) return;
        ::KillTimer(nullptr, it->second);
        threadTimers_.erase(it);
        return;
    }
    SetupWnd* first = windows_.front();
    if (HWND hwnd = first->GetNativeWindow()) ::KillTimer(hwnd, first->ScriptTimerCode(id));
    scriptTimers_.erase(id);
}
