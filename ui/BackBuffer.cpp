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
