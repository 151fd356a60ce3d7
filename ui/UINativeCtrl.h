#pragma once
// The base of controls that wrap a native child window. The framework never
// creates that window; a derived control that makes one hands it over with
// AttachNativeWindow, and the base then keeps the window's visibility in
// step with the control's hidden state and destroys it with the control.
#include "ui/UIControl.h"

class UINativeCtrl : public UIControl {
  public:
    ~UINativeCtrl() override;
    const char* GetClassName() override { return "UINativeCtrl"; }
    // Shows the window while the control is not hidden, hides it otherwise.
    void OnVisibilityHook() override;

    // The description of the native window a derived control asks for.
    virtual const wchar_t* GetNativeClassName() { return L"static"; }
    virtual DWORD GetNativeStyle() { return WS_CHILD; }
    virtual int OnNativeHook() { return 0; }
    virtual std::wstring GetNativeText() { return GetText(); }
    // The subclassed window's procedure: passes every message on, and
    // forgets the window on its final destroy message.
    virtual LRESULT NativeWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs once the native window exists.
    virtual void OnNativeCreated() { OnVisibilityHook(); }
    // The control's rectangle in host coordinates.
    virtual void GetNativeRect(RECT& rc) { GetHostRect(rc); }

    // Takes over `hwnd`: subclasses it and calls OnNativeCreated.
    void AttachNativeWindow(HWND hwnd);
    HWND NativeHwnd() const { return hwnd_; }

  private:
    static LRESULT CALLBACK WndProcThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    uint32_t nativeFlags_ = 0;
};
