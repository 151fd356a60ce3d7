#pragma once
// The rounded-rectangle outline shared by colour fills, borders and the
// "rgn" clip of a control.
#include "ui/GdiplusHeaders.h"

// Four arcs of diameter 2r joined by straight edges, closed.
void AddRoundRectPath(Gdiplus::GraphicsPath& path, int x, int y, int w, int h, int r);
