#pragma once
// Painting into an offscreen 32-bit ARGB bitmap and reading the pixels back,
// a host that hands out real fonts, and skin images made in memory.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/GdiplusHeaders.h"
#include "ui/TestSkin.h"
#include "ui/UIFont.h"
#include "ui/UiTestSupport.h"

// A transparent canvas with GDI+'s default modes, as a window's back buffer.
class Canvas {
  public:
    Canvas(int w, int h) : bitmap_(w, h, PixelFormat32bppARGB), g_(&bitmap_) {
        g_.Clear(Gdiplus::Color(0, 0, 0, 0));
    }
    // Nearest-neighbour sampling with half-pixel offsets, so that every
    // stretched source pixel lands on whole destination pixels.
    void UseNearestPixels() {
        g_.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        g_.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    }
    Gdiplus::Graphics& G() { return g_; }
    int Width() { return int(bitmap_.GetWidth()); }
    int Height() { return int(bitmap_.GetHeight()); }
    uint32_t At(int x, int y) {
        Gdiplus::Color c;
        bitmap_.GetPixel(x, y, &c);
        return c.GetValue();
    }

  private:
    Gdiplus::Bitmap bitmap_;
    Gdiplus::Graphics g_;
};

// A host whose GetFont makes and keeps one font per font text, as a window does.
class FontHost : public FakeHost {
  public:
    Gdiplus::Font* GetFont(const std::wstring& spec) override {
        if (spec.empty()) return DefaultFont();
        auto& font = fonts_[spec];
        if (!font) font.reset(CreateFontForSpec(spec));
        return font.get();
    }

  private:
    std::map<std::wstring, std::unique_ptr<Gdiplus::Font>> fonts_;
};

// Where the text's ink lies (pixels at least half opaque, of colour rgb
// when one is given) and its usual colour (the most frequent one, alpha
// dropped).
struct Ink {
    int count = 0;
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    uint32_t rgb = 0;
    int Height() const { return bottom - top; }
};

inline Ink FindInk(Canvas& canvas, int64_t onlyRgb = -1) {
    Ink ink;
    std::map<uint32_t, int> colours;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const uint32_t p = canvas.At(x, y);
            if ((p >> 24) < 0x80 || (onlyRgb >= 0 && (p & 0xFFFFFF) != onlyRgb)) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ++colours[p & 0xFFFFFF];
        }
    }
    int best = 0;
    for (const auto& kv : colours) {
        if (kv.second > best) best = kv.second, ink.rgb = kv.first;
    }
    return ink;
}

// A w x h 32-bit BMP file whose pixel (x, y) is opaque colour(x, y).
template <typename ColourFn>
std::vector<uint8_t> MakeBmp(int w, int h, ColourFn colour) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    const uint32_t pixelBytes = uint32_t(w) * h * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = -h;  // top-down rows
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::vector<uint8_t> out(file.bfSize);
    memcpy(out.data(), &file, sizeof(file));
    memcpy(out.data() + sizeof(file), &info, sizeof(info));
    uint8_t* px = out.data() + file.bfOffBits;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x, px += 4) {
            const uint32_t bgr = colour(x, y) & 0xFFFFFF;
            memcpy(px, &bgr, 4);
        }
    }
    return out;
}
