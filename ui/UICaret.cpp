#include "ui/UICaret.h"

#include <algorithm>

#include "ui/GdiplusHeaders.h"

UICaret::UICaret(HBITMAP bitmap, int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    if (width_ < 1 || height_ < 1) return;
    image_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, PixelFormat32bppPARGB);
    Gdiplus::Graphics g(image_.get());
    if (bitmap) {
        Gdiplus::Bitmap source(bitmap, nullptr);
        g.DrawImage(&source, Gdiplus::Rect(0, 0, width_, height_));
    } else {
        g.Clear(Gdiplus::Color(255, 0, 0, 0));
    }
}

UICaret::~UICaret() = default;
