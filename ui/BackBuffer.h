#pragma once
// The host window's persistent drawing surface: a memory device context with
// a top-down 32-bit DIB section holding premultiplied ARGB pixels, the form
// a per-pixel-alpha layered window is updated from.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/Handles.h"

namespace Gdiplus {
class Bitmap;
}

class BackBuffer {
  public:
    BackBuffer();
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Makes the buffer w x h, keeping the overlapping part of the old pixels.
    // False (and the buffer empty) when either side is below 1 or the system
    // refuses the bitmap.
    bool Resize(int w, int h);
    void Reset();

    bool IsEmpty() const { return bits_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_.get(); }
    // A GDI+ view of the pixels (premultiplied ARGB), drawing in place.
    Gdiplus::Bitmap* Surface() const { return surface_.get(); }

    // The pixel at (x, y) as 0xAARRGGBB (premultiplied); 0 outside.
    uint32_t Pixel(int x, int y) const;
    // Makes every pixel in rc (clipped to the buffer) fully transparent.
    void ClearArea(const RECT& rc);
    // Blends premultiplied source pixels over the pixels of rc (source over,
    // as GDI+ draws): `src` is the pixel for rc's top-left corner and rows
    // are `stride` pixels apart. Parts of rc outside the buffer are skipped.
    // `opaque` promises that every source pixel has alpha 255.
    void BlendOver(const RECT& rc, const uint32_t* src, size_t stride, bool opaque);
    // Inverts the colour of every pixel in rc (clipped to the buffer) within
    // its own alpha, so that applying it twice restores the pixels.
    void InvertColours(const RECT& rc);

  private:
    int width_ = 0;
    int height_ = 0;
    uint32_t* bits_ = nullptr;
    UniqueGdiObject bitmap_;
    UniqueMemoryDc dc_;  // declared after the bitmap: deleted first
    std::unique_ptr<Gdiplus::Bitmap> surface_;
};
