#include "ui/RoundRect.h"

void AddRoundRectPath(Gdiplus::GraphicsPath& path, int x, int y, int w, int h, int r) {
    const int d = 2 * r;
    path.AddArc(x, y, d, d, 180.0f, 90.0f);
    path.AddLine(x + r, y, x + w - r, y);
    path.AddArc(x + w - d, y, d, d, 270.0f, 90.0f);
    path.AddLine(x + w, y + r, x + w, y + h - r);
    path.AddArc(x + w - d, y + h - d, d, d, 0.0f, 90.0f);
    path.AddLine(x + w - r, y + h, x + r, y + h);
    path.AddArc(x, y + h - d, d, d, 90.0f, 90.0f);
    path.AddLine(x, y + h - r, x, y + r);
    path.CloseFigure();
}
