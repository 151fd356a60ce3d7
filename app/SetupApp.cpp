#include "app/SetupApp.h"

#include <iterator>

#include "app/ScriptRunner.h"
#include "package/ExtractionWorker.h"
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

// The application's own host functions, registered in this order after the
// common ones.
const HostFunction kSetupFunctions[] = {
    {"lua_StartDecompress", lua_StartDecompress},
    {"lua_SetTimeSimulate", lua_SetTimeSimulate},
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

SetupWnd* SetupApp::FindWnd(const std::wstring&) { return nullptr; }

std::wstring SetupApp::ShowWnd(const std::wstring&, const std::wstring&, const std::wstring&) {
    return {};
}

HWND SetupApp::GetOwnerWindow() { return nullptr; }

void SetupApp::EndWnd(const std::wstring&, const std::wstring&) {}

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
    scriptTimers_[id] = 1;
    // Window timers arrive with the setup windows.
}

void SetupApp::KillScriptTimer(int id) {
    if (windows_.empty()) {
        auto it = threadTimers_.find(id);
        if (it == threadTimers_.end()) return;
        ::KillTimer(nullptr, it->second);
        threadTimers_.erase(it);
        return;
    }
    scriptTimers_.erase(id);
}
