#include "ui/UINativeCtrl.h"

UINativeCtrl::~UINativeCtrl() {
    if (!hwnd_ || !::IsWindow(hwnd_)) return;
    // Unhook first: the destroy messages must not reach a half-destroyed object.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (previousProc_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    }
    ::DestroyWindow(hwnd_);
}

void UINativeCtrl::OnVisibilityHook() {
    if (!hwnd_) return;
    const bool hidden = (GetState() & kStateHidden) != 0;
    const bool windowVisible = (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!hidden && !windowVisible) {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    } else if (hidden && windowVisible) {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
}

void UINativeCtrl::AttachNativeWindow(HWND hwnd) {
    if (!hwnd || hwnd_) return;
    hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProcThunk)));
    OnNativeCreated();
}

LRESULT CALLBACK UINativeCtrl::WndProcThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<UINativeCtrl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->NativeWndProc(hwnd, msg, wParam, lParam);
}

LRESULT UINativeCtrl::NativeWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = previousProc_;
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
    }
    return previous ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                    : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
