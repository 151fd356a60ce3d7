#include "ui/SkinBitmap.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "app/Handles.h"

SkinBitmap::SkinBitmap(IStream* stream, HGLOBAL block)
    : SkinBitmapBlock(block), Gdiplus::Bitmap(stream, FALSE), decodeStatus_(GetLastStatus()) {}

namespace {

// Larger images are left to GDI+ rather than doubling their memory.
constexpr int64_t kMaxCopiedPixels = int64_t(4096) * 4096;

bool IsPartial(uint32_t p) {
    const uint32_t a = p >> 24;
    return a != 0 && a != 0xFF;
}

void FindPartialPixels(SkinPixels& out) {
    out.opaque = true;
    out.partial.assign(size_t(out.height), {0, 0});
    for (int y = 0; y < out.height; ++y) {
        const uint32_t* row = out.Row(y);
        const uint32_t* end = row + out.width;
        out.opaque =
            out.opaque && std::all_of(row, end, [](uint32_t p) { return p >> 24 == 0xFF; });
        const uint32_t* first = std::find_if(row, end, IsPartial);
        if (first == end) continue;
        const auto last = std::find_if(std::make_reverse_iterator(end),
                                       std::make_reverse_iterator(first), IsPartial);
        out.partial[size_t(y)] = {int(first - row), int(last.base() - row)};
    }
}

}  // namespace

bool SkinPixels::ClearOrOpaque(int left, int top, int right, int bottom) const {
    if (left < 0 || top < 0 || right > width || bottom > height || left > right || top > bottom)
        return false;
    for (int y = top; y < bottom; ++y) {
        const std::pair<int, int>& p = partial[size_t(y)];
        if (p.first < p.second && p.first < right && left < p.second) return false;
    }
    return true;
}

std::unique_ptr<SkinPixels> ReadPixels(Gdiplus::Bitmap& bitmap) {
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
    FindPartialPixels(*out);
    return out;
}

const SkinPixels* SkinBitmap::Premultiplied() {
    if (!premultipliedTried_ && IsDecoded()) {
        premultipliedTried_ = true;
        premultiplied_ = ReadPixels(*this);
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
