#pragma once
// The host instance: the open setup windows and the script timers.
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "script_api/LuaApp.h"

struct lua_State;

class SetupApp : public LuaApp {
  public:
    SetupApp() = default;
    ~SetupApp() override;
    SetupApp(const SetupApp&) = delete;
    SetupApp& operator=(const SetupApp&) = delete;

    SetupWnd* FindWnd(const std::wstring& wndId) override;
    std::wstring ShowWnd(const std::wstring& wndId, const std::wstring& layoutPath,
                         const std::wstring& title) override;
    HWND GetOwnerWindow() override;
    void EndWnd(const std::wstring& wndId, const std::wstring& endCode) override;
    void SetScriptTimer(int id, int intervalMs) override;
    void KillScriptTimer(int id) override;

    // Registers the application's own host functions after the common ones.
    static void RegisterSetupFunctions(lua_State* L);

    // Duration of the simulated progress of the next extraction; 0 = off.
    uint32_t SimulateMs() const { return simulateMs_; }
    void SetSimulateMs(uint32_t ms) { simulateMs_ = ms; }

    // The process exit code the script chose; 0 unless it chose one.
    int ExitCode() const { return exitCode_; }
    void SetExitCode(int code) { exitCode_ = code; }

    // Whether timer number `id` was started on a setup window.
    bool IsScriptTimer(int id) const { return scriptTimers_.count(id) != 0; }
    const std::vector<SetupWnd*>& Windows() const { return windows_; }
    // A setup window enters the list when shown and leaves it when closed.
    void AddWindow(SetupWnd* wnd) { windows_.push_back(wnd); }
    void RemoveWindow(SetupWnd* wnd) {
        windows_.erase(std::remove(windows_.begin(), windows_.end(), wnd), windows_.end());
    }

  private:
    static void CALLBACK ThreadTimerProc(HWND, UINT, UINT_PTR systemId, DWORD);

    std::vector<SetupWnd*> windows_;           // in the order they were opened
    std::map<int32_t, uint8_t> scriptTimers_;  // ids started on a window; flag always 1
    // Windowless timers pick their own ids: map the script's ids to them.
    std::map<int32_t, UINT_PTR> threadTimers_;
    uint32_t simulateMs_ = 0;
    int exitCode_ = 0;
};

SetupApp& TheSetupApp();
