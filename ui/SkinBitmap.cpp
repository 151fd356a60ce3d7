#include "ui/SkinBitmap.h"

#include <algorithm>
#include <cstring>

#include "app/Handles.h"

SkinBitmap::SkinBitmap(IStream* stream, HGLOBAL block)
    : SkinBitmapBlock(block), Gdiplus::Bitmap(stream, FALSE), decodeStatus_(GetLastStatus()) {}

namespace {

// Larger images are left to GDI+ rather than doubling their memory.
constexpr int64_t kMaxCopiedPixels = int64_t(4096) * 4096;

std::unique_ptr<SkinPixels> ReadPremultiplied(Gdiplus::Bitmap& bitmap) {
    const int64_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (w <= 0 || h <= 0 || w * h > kMaxCopiedPixels) return nullptr;
    auto out = std::make_unique<SkinPixels>();
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    out->pixels.resize(static_cast<size_t>(w * h));
    // GDI+ converts into the caller's buffer, the same conversion its own
    // draws make from this image.
    Gdiplus::BitmapData data = {};
    data.Width = static_cast<UINT>(w);
    data.Height = static_cast<UINT>(h);
    data.Stride = static_cast<INT>(w * 4);
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = out->pixels.data();
    Gdiplus::Rect all(0, 0, out->width, out->height);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        return nullptr;
    }
    bitmap.UnlockBits(&data);
    out->opaque = std::all_of(out->pixels.begin(), out->pixels.end(),
                              [](uint32_t p) { return (p >> 24) == 0xFF; });
    out->partialRows.assign(size_t(h) + 1, 0);
    for (int y = 0; y < out->height; ++y) {
        const uint32_t* row = out->Row(y);
        const bool partial = std::any_of(row, row + w, [](uint32_t p) {
            const uint32_t a = p >> 24;
            return a != 0 && a != 0xFF;
        });
        out->partialRows[size_t(y) + 1] = out->partialRows[size_t(y)] + (partial ? 1 : 0);
    }
    return out;
}

}  // namespace

const SkinPixels* SkinBitmap::Premultiplied() {
    if (!premultipliedTried_ && IsDecoded()) {
        premultipliedTried_ = true;
        premultiplied_ = ReadPremultiplied(*this);
    }
    return premultiplied_.get();
}

SkinBitmap* DecodeImage(const void* bytes, size_t size) {
    // A zero-sized movable block would be discarded memory; one byte is
    // allocated instead and the stream is cut to the real size.
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size > 0 ? size : 1));
    if (!block) return nullptr;
    void* dst = ::GlobalLock(block.get());
    if (!dst) return nullptr;
    if (size > 0) std::memcpy(dst, bytes, size);
    ::GlobalUnlock(block.get());
    ComPtr<IStream> stream;
    // The stream does not own the block: the bitmap frees it after the
    // image is gone.
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, stream.put()))) return nullptr;
    ULARGE_INTEGER exact;
    exact.QuadPart = size;
    if (FAILED(stream->SetSize(exact))) return nullptr;
    return new SkinBitmap(stream.get(), block.release());
}
