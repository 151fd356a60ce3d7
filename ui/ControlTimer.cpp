#include "ui/ControlTimer.h"

#include "ui/UIControl.h"

namespace {

HWND WindowOf(UIControl* control) {
    IUIContainer* host = control ? control->GetHost() : nullptr;
    return host ? host->GetHwnd() : nullptr;
}

}  // namespace

bool SetControlTimer(UIControl* control, int number, UINT milliseconds) {
    HWND hwnd = WindowOf(control);
    if (!hwnd || number < 0 || number > kMaxControlTimerNumber) return false;
    return ::SetTimer(hwnd, ControlTimerId(number, control->Handle()), milliseconds, nullptr) != 0;
}

bool KillControlTimer(UIControl* control, int number) {
    HWND hwnd = WindowOf(control);
    if (!hwnd || number < 0 || number > kMaxControlTimerNumber) return false;
    return ::KillTimer(hwnd, ControlTimerId(number, control->Handle())) != 0;
}
