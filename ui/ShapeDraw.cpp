#include "ui/ShapeDraw.h"

#include <algorithm>

#include "ui/RoundRect.h"

namespace {

// Rounded shapes are drawn smooth whatever mode the caller left behind.
void UseHighQuality(Gdiplus::Graphics& g) {
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
}

// The path's arithmetic is done in int: keep every term far from overflow
// (no real control comes near these sizes).
constexpr int kMaxExtent = 1 << 24;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// A radius beyond half the shorter side would make the arcs overlap into a
// self-crossing path (and outlining arcs far larger than the shape exhausts
// GDI+); such a radius draws as the largest one that fits.
void AddBoundedRoundRect(Gdiplus::GraphicsPath& path, int x, int y, int w, int h, int radius) {
    w = Clamp(w, 0, kMaxExtent);
    h = Clamp(h, 0, kMaxExtent);
    AddRoundRectPath(path, Clamp(x, -kMaxExtent, kMaxExtent), Clamp(y, -kMaxExtent, kMaxExtent), w,
                     h, Clamp(radius, 0, std::min(w, h) / 2));
}

}  // namespace

void FillSolidRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h) {
    if (color == 0) return;
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    g.FillRectangle(&brush, x, y, w, h);
}

void OutlineRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h) {
    Gdiplus::Pen pen(Gdiplus::Color(color), 1.0f);
    g.DrawRectangle(&pen, x, y, w, h);
}

void FillRoundRect(Gdiplus::Graphics& g, const Gdiplus::Brush& brush, int x, int y, int w, int h,
                   int radius) {
    GraphicsStateScope scope(g);
    UseHighQuality(g);
    Gdiplus::GraphicsPath path;
    AddBoundedRoundRect(path, x, y, w, h, radius);
    g.FillPath(&brush, &path);
}

void FillRoundRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h,
                   int radius) {
    if (color == 0) return;
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    FillRoundRect(g, brush, x, y, w, h, radius);
}

void OutlineRoundRect(Gdiplus::Graphics& g, Gdiplus::ARGB color, int x, int y, int w, int h,
                      int radius) {
    GraphicsStateScope scope(g);
    UseHighQuality(g);
    Gdiplus::GraphicsPath path;
    AddBoundedRoundRect(path, x, y, w, h, radius);
    Gdiplus::Pen pen(Gdiplus::Color(color), 1.0f);
    g.DrawPath(&pen, &path);
}
