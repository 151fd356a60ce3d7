#include "ui/BackBuffer.h"

#include <algorithm>

#include "ui/GdiplusHeaders.h"

BackBuffer::BackBuffer() = default;

BackBuffer::~BackBuffer() = default;

void BackBuffer::Reset() {
    surface_.reset();
    dc_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool BackBuffer::Resize(int w, int h) {
    if (w < 1 || h < 1) {
        Reset();
        return false;
    }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;  // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !dc) {
        Reset();
        return false;
    }
    ::SelectObject(dc.get(), bitmap.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<size_t>(w) * h, 0u);
    if (bits_) {
        const int cw = std::min(w, width_), ch = std::min(h, height_);
        for (int y = 0; y < ch; ++y)
            std::copy(bits_ + static_cast<size_t>(y) * width_,
                      bits_ + static_cast<size_t>(y) * width_ + cw,
                      pixels + static_cast<size_t>(y) * w);
    }
    surface_.reset();
    surface_ = std::make_unique<Gdiplus::Bitmap>(w, h, w * 4, PixelFormat32bppPARGB,
                                                 static_cast<BYTE*>(bits));
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    bits_ = pixels;
    width_ = w;
    height_ = h;
    return true;
}

uint32_t BackBuffer::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return bits_[static_cast<size_t>(y) * width_ + x];
}

void BackBuffer::ClearArea(const RECT& rc) {
    if (!bits_) return;
    const int left = std::max<int>(rc.left, 0), top = std::max<int>(rc.top, 0);
    const int right = std::min<int>(rc.right, width_), bottom = std::min<int>(rc.bottom, height_);
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = bits_ + static_cast<size_t>(y) * width_;
        std::fill(row + left, row + right, 0u);
    }
}

namespace {

// x / 255 rounded to nearest, for x up to 255 * 255.
inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

inline uint32_t Over(uint32_t src, uint32_t dst) {
    const uint32_t a = src >> 24;
    if (a == 0xFF) return src;
    if (a == 0) return dst;
    const uint32_t keep = 255 - a;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= std::min<uint32_t>(s + Div255(d * keep), 255) << shift;
    }
    return out;
}

}  // namespace

void BackBuffer::BlendOver(const RECT& rc, const uint32_t* src, size_t stride, bool opaque) {
    if (!bits_ || !src) return;
    const int left = std::max<int>(rc.left, 0), top = std::max<int>(rc.top, 0);
    const int right = std::min<int>(rc.right, width_), bottom = std::min<int>(rc.bottom, height_);
    if (left >= right || top >= bottom) return;
    // Differences of clipped edges from rc's own: never negative, never
    // beyond rc, so the source offset stays inside the caller's rows.
    const size_t skipX = static_cast<size_t>(int64_t(left) - rc.left);
    const size_t skipY = static_cast<size_t>(int64_t(top) - rc.top);
    const size_t count = static_cast<size_t>(right - left);
    for (int y = top; y < bottom; ++y) {
        const uint32_t* from = src + (skipY + size_t(y - top)) * stride + skipX;
        uint32_t* to = bits_ + static_cast<size_t>(y) * width_ + left;
        if (opaque) {
            std::copy(from, from + count, to);
            continue;
        }
        for (size_t i = 0; i < count; ++i) to[i] = Over(from[i], to[i]);
    }
}

void BackBuffer::InvertColours(const RECT& rc) {
    if (!bits_) return;
    const int left = std::max<int>(rc.left, 0), top = std::max<int>(rc.top, 0);
    const int right = std::min<int>(rc.right, width_), bottom = std::min<int>(rc.bottom, height_);
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = bits_ + static_cast<size_t>(y) * width_;
        for (int x = left; x < right; ++x) {
            const uint32_t a = row[x] >> 24;
            // Premultiplied channels never exceed alpha; a - c keeps that.
            uint32_t out = a << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t c = std::min((row[x] >> shift) & 0xFF, a);
                out |= (a - c) << shift;
            }
            row[x] = out;
        }
    }
}
