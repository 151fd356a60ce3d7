#pragma once
// The native-window side of a host: the window handle, the message being
// processed, and the one window procedure every host window shares. The
// object is found from its window through the "skinobj" window property.
#include <windows.h>

class UIWindowImp {
  public:
    UIWindowImp() = default;
    UIWindowImp(const UIWindowImp&) = delete;
    UIWindowImp& operator=(const UIWindowImp&) = delete;
    virtual ~UIWindowImp() = default;

    HWND GetNativeWindow() const { return hwnd_; }
    // The window message in progress (all zero outside one).
    const MSG& CurrentWindowMessage() const { return current_; }
    bool IsWindowDestroyed() const { return destroyed_; }
    // When set, the window is pulled back onto its monitor's work area at the
    // end of a move or size loop.
    void SetClampToMonitor(bool on) { clampToMonitor_ = on; }

    static constexpr const wchar_t* kPropertyName = L"skinobj";
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  protected:
    // The window's own handling; true when the message needs no default
    // processing (result then holds the answer).
    virtual bool HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // Runs once after the last message of the window has returned.
    virtual void OnFinalMessage() {}
    // Keep the object alive across one message: a handler may drop the last
    // outside reference.
    virtual void HoldWindowObject() {}
    virtual void DropWindowObject() {}

  private:
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void ClampToMonitor();

    HWND hwnd_ = nullptr;
    MSG current_ = {};
    bool destroyed_ = false;
    bool clampToMonitor_ = false;
    int depth_ = 0;
};
