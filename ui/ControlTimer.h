#pragma once
// Window timers owned by controls. The window timer id carries the control
// handle and a per-control timer number, so the host can route WM_TIMER to
// the control and kill timers whose control is gone.
#include <windows.h>

#include <cstdint>

class UIControl;

constexpr UINT_PTR kControlTimerBit = 0x80000000u;
constexpr int kMaxControlTimerNumber = 127;

// 0x80000000 | (number << 24) | (handle & 0xFFFFFF); number is 0 to 127.
constexpr UINT_PTR ControlTimerId(int number, uint32_t handle) {
    return kControlTimerBit | (static_cast<UINT_PTR>(number & 0x7F) << 24) |
           (static_cast<UINT_PTR>(handle) & 0xFFFFFF);
}
constexpr bool IsControlTimerId(UINT_PTR id) { return (id & kControlTimerBit) != 0; }
constexpr int ControlTimerNumber(UINT_PTR id) { return static_cast<int>((id >> 24) & 0x7F); }
constexpr uint32_t ControlTimerHandle(UINT_PTR id) { return static_cast<uint32_t>(id & 0xFFFFFF); }

// Starts (or restarts) timer `number` of a control in a window; false when
// the control has no window or the number is out of range.
bool SetControlTimer(UIControl* control, int number, UINT milliseconds);
bool KillControlTimer(UIControl* control, int number);
