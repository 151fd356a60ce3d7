#pragma once
// Painting of a control and its subtree into a graphics object whose origin
// is at the control's top-left corner.
#include <windows.h>

#include "ui/GdiplusHeaders.h"

class UIControl;

// Paints `control`, then each visible child in order, clipped to its
// rectangle, with the origin at its top-left corner and its own region clip,
// then the child's subtree. `area` bounds what still needs painting, in the
// control's coordinates (the repainted part of the window at the top):
// children outside it are skipped by an integer test before any GDI+ call,
// so a small repaint costs the same however many controls the window has.
void PaintControlTree(UIControl* control, Gdiplus::Graphics& g, const RECT& area);
