#pragma once
// The services a control tree asks of the window that hosts it: input
// routing state (hover, capture, focus, tracking), the caret, fonts and the
// delivery of control events. Controls reach it through their host pointer;
// the host window implements it.
#include <windows.h>
#include <oleidl.h>

#include <cstdint>
#include <string>

namespace Gdiplus {
class Font;
}
class UIControl;

class IUIContainer {
  public:
    virtual void RegisterDropTarget(uint32_t control, IDropTarget* target) = 0;
    virtual void UnregisterDropTarget(uint32_t control) = 0;
    virtual HWND GetHwnd() = 0;
    virtual bool IsLayered() = 0;
    // True: wheel messages go to the control under the mouse.
    virtual bool WheelFollowsMouse() { return true; }
    virtual void GetClientRect(RECT& rc) = 0;
    // Invalidates the area of this popup in the control that owns it.
    virtual void InvalidateOwner(const RECT* rc) = 0;
    // Handles; 0 means none.
    virtual uint32_t GetCapturedControl() = 0;
    virtual void ReleaseControlCapture() = 0;
    // Returns the handle that held the capture before.
    virtual uint32_t CaptureControl(uint32_t control) = 0;
    // reason: 0 programmatic, 1 keyboard navigation, 2 window re-activation.
    virtual void FocusControl(uint32_t control, int reason) = 0;
    virtual uint32_t GetHover() = 0;
    virtual uint32_t GetFocusedControl() = 0;
    virtual void CreateHostCaret(uint32_t control, HBITMAP bitmap, int width, int height) = 0;
    // Handle 0 hides the caret.
    virtual void ShowHostCaret(uint32_t control) = 0;
    virtual void SetHostCaretPos(int x, int y) = 0;
    virtual bool AcceptsInput() { return true; }
    // Runs after every mouse message the host dispatched.
    virtual void AfterMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam) {}
    virtual void OnHostHook() {}
    virtual void AddTracked(uint32_t control) = 0;
    virtual void RemoveTracked(uint32_t control) = 0;
    virtual void SetHostFlagA(bool on) {}
    virtual void SetHostFlagB(bool on) {}
    virtual bool IsHostReady() { return true; }
    // A font for a font spec such as "14u"; owned by the host.
    virtual Gdiplus::Font* GetFont(const std::wstring& spec) = 0;
    // Delivers a control event to the window's owner; returns its result.
    virtual int Notify(UIControl* sender, const char* eventName, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetHover(UIControl* control) = 0;
    virtual void ShowTooltip(UIControl* control) = 0;
    virtual bool DispatchInput(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~IUIContainer() = default;
};
