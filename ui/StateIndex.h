#pragma once
// Which of the four per-state looks a control shows: 0 normal, 1 hover,
// 2 pressed (or selected), 3 disabled. Every render with per-state values and
// the controls with state images choose the same way.
class UIControl;

enum UIStateIndex : int {
    kStateIndexNormal = 0,
    kStateIndexHover = 1,
    kStateIndexPressed = 2,
    kStateIndexDisabled = 3,
};

// Normal for a null control.
int GetStateIndex(const UIControl* control);
