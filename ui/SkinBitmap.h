#pragma once
// A decoded skin image. GDI+ decodes lazily from the stream it was given, so
// the memory block behind that stream must outlive the image: the block is
// held by a base that is destroyed after the Bitmap part has disposed of the
// image.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ui/GdiplusHeaders.h"

// Pixels as premultiplied 0xAARRGGBB, top-down rows of `width` pixels: the
// form the host's back buffer holds, so that they can be blended into it
// without GDI+.
struct SkinPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool opaque = false;  // every pixel has alpha 255: rows can be copied
    // Per row, the first and one past the last column whose alpha is
    // neither 0 nor 255 (equal when there is none).
    std::vector<std::pair<int, int>> partial;

    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    // Every pixel of the part is fully clear or fully opaque.
    bool ClearOrOpaque(int left, int top, int right, int bottom) const;
};

// The pixels of a bitmap read through GDI+'s own conversion; null when it
// has none, is too large to copy, or cannot be read.
std::unique_ptr<SkinPixels> ReadPixels(Gdiplus::Bitmap& bitmap);

// Owns the movable memory block that backs an image's stream.
class SkinBitmapBlock {
  public:
    explicit SkinBitmapBlock(HGLOBAL block) : block_(block) {}
    ~SkinBitmapBlock() {
        if (block_) ::GlobalFree(block_);
    }
    SkinBitmapBlock(const SkinBitmapBlock&) = delete;
    SkinBitmapBlock& operator=(const SkinBitmapBlock&) = delete;

  private:
    HGLOBAL block_;
};

class SkinBitmap : private SkinBitmapBlock, public Gdiplus::Bitmap {
  public:
    // Decodes from `stream`, which reads `block`; the bitmap takes the block.
    // A failed decoding still gives an object: it has no image and draws
    // nothing.
    SkinBitmap(IStream* stream, HGLOBAL block);

    // The status of the decoding.
    Gdiplus::Status DecodeStatus() const { return decodeStatus_; }
    bool IsDecoded() const { return decodeStatus_ == Gdiplus::Ok; }

    // The premultiplied copy, made on the first call (on the UI thread,
    // which is the only one that draws) and kept with the image. Null when
    // the image has no pixels, is too large to copy, or cannot be read.
    const SkinPixels* Premultiplied();

  private:
    Gdiplus::Status decodeStatus_;
    std::unique_ptr<SkinPixels> premultiplied_;
    bool premultipliedTried_ = false;
};

// Copies the bytes into a new movable block and decodes an image from a
// stream over it. Null only when the block or the stream cannot be made.
SkinBitmap* DecodeImage(const void* bytes, size_t size);
