#include "ui/UIWindowImp.h"

#include <algorithm>

LRESULT CALLBACK UIWindowImp::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = cs ? static_cast<UIWindowImp*>(cs->lpCreateParams) : nullptr;
        if (self) {
            self->hwnd_ = hwnd;
            self->destroyed_ = false;
            ::SetPropW(hwnd, kPropertyName, self);
        }
    }
    auto* self = static_cast<UIWindowImp*>(::GetPropW(hwnd, kPropertyName));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT UIWindowImp::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HoldWindowObject();
    const MSG saved = current_;
    current_ = MSG{hwnd, msg, wParam, lParam, 0, {0, 0}};
    ++depth_;
    if (msg == WM_EXITSIZEMOVE && clampToMonitor_) ClampToMonitor();
    LRESULT result = 0;
    if (!HandleWindowMessage(msg, wParam, lParam, result)) {
        result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropW(hwnd, kPropertyName);
        destroyed_ = true;
    }
    --depth_;
    current_ = saved;
    if (depth_ == 0 && destroyed_ && hwnd_) {
        hwnd_ = nullptr;
        OnFinalMessage();
    }
    DropWindowObject();  // may delete this object: nothing may follow
    return result;
}

void UIWindowImp::ClampToMonitor() {
    RECT rc;
    if (!::GetWindowRect(hwnd_, &rc)) return;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi)) return;
    const RECT& work = mi.rcWork;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = std::max<int>(rc.left, work.left);
    if (x + w > work.right) x = work.right - w;
    int y = std::max<int>(rc.top, work.top);
    if (y + h > work.bottom) y = work.bottom - h;
    if (x != rc.left || y != rc.top) {
        ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
