#include "ui/controls/UICaption.h"

namespace {

constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;  // 0xF012

HWND WindowOf(UIControl& control) {
    IUIContainer* host = control.GetHost();
    return host ? host->GetHwnd() : nullptr;
}

}  // namespace

void UICaption::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    IUIContainer* host = GetHost();
    if (host && IsFocusable()) host->FocusControl(Handle(), 0);
    HWND hwnd = WindowOf(*this);
    if (!hwnd) return;
    if (::IsZoomed(hwnd)) {
        pressedWhileMaximised_ = true;
        return;
    }
    if (!dragEnabled_) return;
    // The move loop runs inside this call until the button is released; the
    // button-up it swallowed is then given to the window, so that the host
    // ends the press it saw begin.
    ::SendMessageW(hwnd, WM_SYSCOMMAND, kMoveByCaption, 0);
    if (::IsWindow(hwnd)) ::SendMessageW(hwnd, WM_LBUTTONUP, wParam, lParam);
}

void UICaption::OnDoubleClick() {
    HWND hwnd = WindowOf(*this);
    if (!hwnd) return;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (!(style & WS_THICKFRAME) || !(style & WS_MAXIMIZEBOX)) return;
    ::SendMessageW(hwnd, WM_SYSCOMMAND, ::IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

bool UICaption::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_LBUTTONDOWN:
            OnLButtonDown(wParam, lParam);
            return true;
        case WM_LBUTTONDBLCLK:
            OnDoubleClick();
            return true;
        case WM_LBUTTONUP:
            pressedWhileMaximised_ = false;
            return true;
        case WM_MOUSEMOVE:
            return true;
        default:
            return UIControl::HandleMessage(msg, wParam, lParam, result);
    }
}
