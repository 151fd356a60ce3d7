#pragma once
// Filled and outlined rectangles, square or rounded, shared by the colour
// renders and the controls that paint their own parts. A failed GDI+ call
// paints nothing; its status stays in the graphics object.
#include "ui/GdiplusHeaders.h"

// Saves the graphics state on construction and restores it on destruction.
class GraphicsStateScope {
  public:
    explicit GraphicsStateScope(Gdiplus::Graphics& g) : g_(g), state_(g.Save()) {}
    ~GraphicsStateScope() { g_.Restore(state_); }
    GraphicsStateScope(const GraphicsStateScope&) = delete;
    GraphicsStateScope& operator=(const GraphicsStateScope&) = delete;

  private:
    Gdiplus::Graphics& g_;
    Gdiplus::GraphicsState state_;
};

// A colour of 0 paints nothing.
void FillSolidRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h);
// A 1-pixel outline through (x, y) and (x + w, y + h).
void OutlineRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h);
// Anti-aliased; the graphics state is left as it was.
void FillRoundRect(Gdiplus::Graphics& g, const Gdiplus::Brush& brush, int x, int y, int w, int h,
                   int radius);
void FillRoundRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h,
                   int radius);
void OutlineRoundRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h,
                      int radius);
