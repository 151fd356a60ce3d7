#pragma once
// The caret of a host window. The system caret is created (for accessibility
// tools that follow it) but kept hidden; the host draws this one itself by
// inverting the back buffer under it.
#include <windows.h>

#include <memory>

#include "ui/UIRefObj.h"

namespace Gdiplus {
class Bitmap;
}

class UICaret : public UIRefObj {
  public:
    // The image is the bitmap stretched to width x height, or opaque black
    // without one. It starts far outside any window.
    UICaret(HBITMAP bitmap, int width, int height);
    ~UICaret() override;

    static constexpr int kFarAway = -320000;

    void SetPos(int x, int y) { pos_ = POINT{x, y}; }
    POINT Pos() const { return pos_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT Rect() const { return RECT{pos_.x, pos_.y, pos_.x + width_, pos_.y + height_}; }
    Gdiplus::Bitmap* Image() const { return image_.get(); }

  private:
    int width_;
    int height_;
    POINT pos_ = {kFarAway, kFarAway};
    std::unique_ptr<Gdiplus::Bitmap> image_;
};
