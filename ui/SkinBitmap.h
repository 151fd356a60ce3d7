#pragma once
// A decoded skin image. GDI+ decodes lazily from the stream it was given, so
// the memory block behind that stream must outlive the image: the block is
// held by a base that is destroyed after the Bitmap part has disposed of the
// image.
#include "ui/GdiplusHeaders.h"

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

  private:
    Gdiplus::Status decodeStatus_;
};

// Copies the bytes into a new movable block and decodes an image from a
// stream over it. Null only when the block or the stream cannot be made.
SkinBitmap* DecodeImage(const void* bytes, size_t size);
