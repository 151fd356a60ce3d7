#pragma once
// A setup window: a skinned host window opened by the script with an id by
// which the script addresses it. Its control events go to the script's
// OnNotify, its script timers to ontimer, and it ends with the end code the
// script gives lua_EndWnd.
#include <windows.h>

#include <string>

#include "ui/UIHostWnd.h"

class SetupWnd final : public UIHostWnd {
  public:
    SetupWnd();
    ~SetupWnd() override;

    const std::wstring& WindowId() const { return windowId_; }
    void SetWindowId(const std::wstring& id) { windowId_ = id; }
    void SetTitle(const std::wstring& title) { title_ = title; }
    const std::wstring& EndCodeText() const { return endCode_; }

    // Creates the window from the layout, shows it centred over the owner,
    // calls OnInitWnd and runs the modal loop; the end code.
    std::wstring Run(const std::wstring& layoutName, HWND owner);
    // Sets the end code and ends the modal loop as soon as the current
    // callback has returned.
    void End(const std::wstring& endCode);

    // The timer number of a script timer on this window.
    UINT_PTR ScriptTimerCode(int id) const;

    int OnNotify(UIEvent& event) override;
    int OnTimer(int number) override;
    const char* GetClassName() override { return "SetupWnd"; }

  protected:
    bool HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    std::wstring title_;  // stored; the window does not show it
    std::wstring windowId_;
    std::wstring endCode_;
};

// Creates the native window of a setup window or message box: a layered
// popup at 0,0, 100 by 100, owned by `owner`, its layout loaded and laid out.
HWND CreateSetupNativeWindow(UIHostWnd& window, const std::wstring& layoutName, HWND owner);
