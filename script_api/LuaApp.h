#pragma once
// The abstract script host through which host functions reach windows,
// dialogs' owner and timers.
#include <windows.h>
#include <string>

class SetupWnd;

class LuaApp {
  public:
    virtual ~LuaApp() = default;
    // The open setup window whose id equals wndId exactly, or null.
    virtual SetupWnd* FindWnd(const std::wstring& wndId) = 0;
    // Creates a setup window from a layout, runs it modally, returns its end code.
    virtual std::wstring ShowWnd(const std::wstring& wndId, const std::wstring& layoutPath,
                                 const std::wstring& title) = 0;
    // The topmost open setup window, owner of dialogs; null when none.
    virtual HWND GetOwnerWindow() = 0;
    virtual void EndWnd(const std::wstring& wndId, const std::wstring& endCode) = 0;
    virtual void SetScriptTimer(int id, int intervalMs) = 0;
    virtual void KillScriptTimer(int id) = 0;
};

// The process-wide host instance, set during static initialisation to the
// one SetupApp object; never changes.
LuaApp* HostInstance();
