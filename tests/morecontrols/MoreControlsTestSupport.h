#pragma once
// Shared pieces of the combo box, animation, hot key, caption and image
// tests: real input through the system's input queue, a message pump that
// waits for a condition, and solid skin images.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "host/HostTestSupport.h"

// Runs this thread's messages until done() holds; false when it still does
// not after a few seconds (a wait for the system, not a measured time).
template <typename Done>
bool PumpUntil(Done done, DWORD limitMs = 4000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start > limitMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Runs whatever is queued now.
inline void PumpPending() {
    PumpUntil([] { return false; }, 50);
}

// A mouse input at a screen point, as the mouse driver would give it.
inline INPUT MouseInput(int x, int y, DWORD flags) {
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    // Rounded up, so that the driver's scaling back lands on the pixel.
    in.mi.dx = static_cast<LONG>((int64_t(x - left) * 65536 + w - 1) / w);
    in.mi.dy = static_cast<LONG>((int64_t(y - top) * 65536 + h - 1) / h);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return in;
}

// Queues real mouse input: a move to each point, and the button pressed at
// the first and released at the last.
inline void RealDrag(const std::vector<POINT>& path) {
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < path.size(); ++i) {
        inputs.push_back(MouseInput(path[i].x, path[i].y, 0));
        if (i == 0) inputs.push_back(MouseInput(path[i].x, path[i].y, MOUSEEVENTF_LEFTDOWN));
    }
    inputs.push_back(MouseInput(path.back().x, path.back().y, MOUSEEVENTF_LEFTUP));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline void RealClick(int x, int y) { RealDrag({POINT{x, y}}); }

// The screen point at (x, y) inside a control.
inline POINT ScreenPointIn(UIControl* c, int x, int y) {
    RECT rc;
    c->GetScreenRect(rc);
    return POINT{rc.left + x, rc.top + y};
}

// An opaque w x h BMP of one colour.
inline std::vector<uint8_t> SolidImage(int w, int h, uint32_t colour) {
    return MakeBmp(w, h, [colour](int, int) { return colour; });
}

inline std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
