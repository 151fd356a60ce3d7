#include "ui/ImageDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ui/PaintContext.h"
#include "ui/SkinBitmap.h"

namespace {

// Rectangles as x, y, w, h in 64 bits, so that sums of skin-supplied
// numbers cannot overflow.
struct Box {
    int64_t x, y, w, h;
};

Box ToBox(const RECT& r) {
    return Box{r.left, r.top, int64_t(r.right) - r.left, int64_t(r.bottom) - r.top};
}

bool IsEmpty(const Box& b) { return b.w <= 0 || b.h <= 0; }

// src cut to the image's pixels; empty when nothing is left.
Box ClipToImage(const Box& src, int64_t iw, int64_t ih) {
    const int64_t left = std::max<int64_t>(src.x, 0);
    const int64_t top = std::max<int64_t>(src.y, 0);
    const int64_t right = std::min<int64_t>(src.x + src.w, iw);
    const int64_t bottom = std::min<int64_t>(src.y + src.h, ih);
    return Box{left, top, right - left, bottom - top};
}

class SliceDrawer {
  public:
    SliceDrawer(Gdiplus::Graphics& g, Gdiplus::Image* image) : g_(g), image_(image) {}

    // One piece: the source part stretched over the destination part.
    // Empty pieces (slices of a tiny image or a small dst) are skipped.
    void Piece(const Box& d, const Box& s) const {
        if (IsEmpty(d) || IsEmpty(s)) return;
        if (d.w == s.w && d.h == s.h && IsWholePixelShift()) return Unscaled(d, s);
        Draw(d, s);
    }

    void ThreeSliceH(const Box& d, const Box& s) const {
        if (d.w < s.w) return Piece(d, s);
        const int64_t l = s.w / 3;
        Piece({d.x, d.y, l, d.h}, {s.x, s.y, l, s.h});
        Piece({d.x + d.w - l, d.y, l, d.h}, {s.x + s.w - l, s.y, l, s.h});
        Piece({d.x + l, d.y, d.w - 2 * l, d.h}, {s.x + l, s.y, l, s.h});
    }

    void ThreeSliceV(const Box& d, const Box& s) const {
        if (d.h < s.h) return Piece(d, s);
        const int64_t m = s.h / 3;
        Piece({d.x, d.y, d.w, m}, {s.x, s.y, s.w, m});
        Piece({d.x, d.y + d.h - m, d.w, m}, {s.x, s.y + s.h - m, s.w, m});
        Piece({d.x, d.y + m, d.w, d.h - 2 * m}, {s.x, s.y + m, s.w, s.h - 2 * m});
    }

    void NineGrid(const Box& d, int64_t iw, int64_t ih) const {
        const int64_t g = std::min(iw, ih) / 3;
        const int64_t right = d.x + d.w - g, bottom = d.y + d.h - g;
        Piece({d.x, d.y, g, g}, {0, 0, g, g});
        Piece({right, d.y, g, g}, {iw - g, 0, g, g});
        Piece({d.x, bottom, g, g}, {0, ih - g, g, g});
        Piece({right, bottom, g, g}, {iw - g, ih - g, g, g});
        Piece({d.x + g, d.y, d.w - 2 * g, g}, {g, 0, g, g});
        Piece({d.x + g, bottom, d.w - 2 * g, g}, {g, ih - g, g, g});
        Piece({d.x, d.y + g, g, d.h - 2 * g}, {0, g, g, g});
        Piece({right, d.y + g, g, d.h - 2 * g}, {iw - g, g, g, g});
        Piece({d.x + g, d.y + g, d.w - 2 * g, d.h - 2 * g}, {iw / 2, ih / 2, 1, 1});
    }

    void WholeThreeSliceH(const Box& d, int64_t iw, int64_t ih) const {
        const int64_t s = std::min(iw, d.w) / 3;
        Piece({d.x, d.y, s, d.h}, {0, 0, s, ih});
        Piece({d.x + d.w - s, d.y, s, d.h}, {iw - s, 0, s, ih});
        Piece({d.x + s, d.y, d.w - 2 * s, d.h}, {s, 0, s, ih});
    }

  private:
    void Draw(const Box& d, const Box& s) const {
        const Gdiplus::RectF dst(float(d.x), float(d.y), float(d.w), float(d.h));
        g_.DrawImage(image_, dst, float(s.x), float(s.y), float(s.w), float(s.h),
                     Gdiplus::UnitPixel);
    }

    // True when the drawing origin is moved by whole pixels only, so that a
    // piece drawn at its own size lands each source pixel on one target
    // pixel.
    bool IsWholePixelShift() const {
        Gdiplus::Matrix m;
        Gdiplus::REAL e[6];
        if (g_.GetTransform(&m) != Gdiplus::Ok || m.GetElements(e) != Gdiplus::Ok) return false;
        return e[0] == 1 && e[1] == 0 && e[2] == 0 && e[3] == 1 && IsWhole(e[4]) && IsWhole(e[5]);
    }

    // False for fractions, NaN and values beyond any window coordinate.
    static bool IsWhole(Gdiplus::REAL v) { return v > -1e9f && v < 1e9f && v == std::floor(v); }

    // A piece drawn at its own size copies pixels one to one, so it gives
    // the same pixels when cut to the clip (plus a column and row of margin)
    // and without filtering. Both matter: GDI+ may convert the whole source
    // part and filter every target pixel, a cost that grows with the image
    // however little of it a repaint shows (a window background under a
    // progress bar's band).
    void Unscaled(const Box& d, const Box& s) const {
        if (Blended(d, s)) return;
        Gdiplus::Rect clip;
        Box cut = d;
        if (g_.GetClipBounds(&clip) == Gdiplus::Ok) {
            const int64_t left = std::max<int64_t>(d.x, int64_t(clip.X) - 1);
            const int64_t top = std::max<int64_t>(d.y, int64_t(clip.Y) - 1);
            const int64_t right = std::min<int64_t>(d.x + d.w, int64_t(clip.X) + clip.Width + 1);
            const int64_t bottom = std::min<int64_t>(d.y + d.h, int64_t(clip.Y) + clip.Height + 1);
            cut = Box{left, top, right - left, bottom - top};
            if (IsEmpty(cut)) return;
        }
        const Box from{s.x + (cut.x - d.x), s.y + (cut.y - d.y), cut.w, cut.h};
        const Gdiplus::InterpolationMode mode = g_.GetInterpolationMode();
        g_.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        Draw(cut, from);
        g_.SetInterpolationMode(mode);
    }

    // The same piece copied straight into the host's back buffer when the
    // paint allows it (clear pixels skipped, opaque ones copied); false when
    // GDI+ must draw it, e.g. for partly transparent pixels.
    bool Blended(const Box& d, const Box& s) const {
        PaintContext* context = PaintContext::Current();
        auto* skin = context ? dynamic_cast<SkinBitmap*>(image_) : nullptr;
        if (!skin || !FitsRect(d)) return false;
        const SkinPixels* pixels = skin->Premultiplied();
        if (!pixels) return false;
        const RECT dst = {LONG(d.x), LONG(d.y), LONG(d.x + d.w), LONG(d.y + d.h)};
        return context->BlendUnscaled(g_, *pixels, s.x, s.y, dst);
    }

    static bool FitsRect(const Box& b) {
        constexpr int64_t kLimit = INT32_MAX / 2;
        return b.x > -kLimit && b.y > -kLimit && b.x + b.w < kLimit && b.y + b.h < kLimit;
    }

    Gdiplus::Graphics& g_;
    Gdiplus::Image* image_;
};

}  // namespace

void DrawImageByType(Gdiplus::Graphics& g, Gdiplus::Image* image, int type, const RECT& dst,
                     const RECT& src) {
    if (!image) return;
    const int64_t iw = image->GetWidth(), ih = image->GetHeight();
    const Box d = ToBox(dst);
    if (iw <= 0 || ih <= 0 || IsEmpty(d)) return;
    const Box whole{0, 0, iw, ih};
    Box s = ToBox(src);
    s = IsEmpty(s) ? whole : ClipToImage(s, iw, ih);
    if (IsEmpty(s)) return;
    const SliceDrawer drawer(g, image);
    switch (type) {
        case kImageStretch:
            return drawer.Piece(d, s);
        case kImageThreeSliceH:
            return drawer.ThreeSliceH(d, s);
        case kImageThreeSliceV:
            return drawer.ThreeSliceV(d, s);
        case kImageNineGrid:
            return drawer.NineGrid(d, iw, ih);
        case kImageWholeThreeSliceH:
            return drawer.WholeThreeSliceH(d, iw, ih);
        default:
            return;
    }
}
