#pragma once
// Mouse messages carry the pointer in host coordinates; controls that hit
// test their own parts need it relative to their own top-left corner.
#include <windows.h>
#include <windowsx.h>

#include "ui/UIControl.h"

inline POINT LocalPoint(UIControl& control, LPARAM lParam) {
    RECT host;
    control.GetHostRect(host);
    return POINT{GET_X_LPARAM(lParam) - host.left, GET_Y_LPARAM(lParam) - host.top};
}
