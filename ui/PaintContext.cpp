#include "ui/PaintContext.h"

#include <algorithm>

#include "ui/BackBuffer.h"
#include "ui/SkinBitmap.h"

namespace {

thread_local PaintContext* current = nullptr;

// a + b kept inside the range of window coordinates.
LONG ShiftedBy(LONG a, int64_t b) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN / 2, INT32_MAX / 2));
}

}  // namespace

PaintContext::PaintContext(BackBuffer& buffer, Gdiplus::Graphics& graphics, const RECT& clip)
    : buffer_(buffer), graphics_(graphics), previous_(current) {
    const RECT all = {0, 0, buffer.Width(), buffer.Height()};
    if (!::IntersectRect(&clip_, &clip, &all)) ::SetRectEmpty(&clip_);
    current = this;
}

PaintContext::~PaintContext() { current = previous_; }

PaintContext* PaintContext::Current() { return current; }

PaintContext::Frame::Frame(PaintContext* context, const RECT& pos, bool plainClip)
    : context_(context) {
    if (!context_) return;
    origin_ = context_->origin_;
    clip_ = context_->clip_;
    plain_ = context_->plain_;
    const POINT o = {ShiftedBy(origin_.x, pos.left), ShiftedBy(origin_.y, pos.top)};
    const RECT area = {o.x, o.y, ShiftedBy(origin_.x, pos.right), ShiftedBy(origin_.y, pos.bottom)};
    if (!::IntersectRect(&context_->clip_, &clip_, &area)) ::SetRectEmpty(&context_->clip_);
    context_->origin_ = o;
    context_->plain_ = plain_ && plainClip;
}

PaintContext::Frame::~Frame() {
    if (!context_) return;
    context_->origin_ = origin_;
    context_->clip_ = clip_;
    context_->plain_ = plain_;
}

bool PaintContext::MatchesGraphics(Gdiplus::Graphics& g) const {
    if (&g != &graphics_ || !plain_) return false;
    if (g.GetCompositingMode() != Gdiplus::CompositingModeSourceOver) return false;
    Gdiplus::Matrix m;
    Gdiplus::REAL e[6];
    if (g.GetTransform(&m) != Gdiplus::Ok || m.GetElements(e) != Gdiplus::Ok) return false;
    return e[0] == 1 && e[1] == 0 && e[2] == 0 && e[3] == 1 && e[4] == Gdiplus::REAL(origin_.x) &&
           e[5] == Gdiplus::REAL(origin_.y);
}

bool PaintContext::BlendUnscaled(Gdiplus::Graphics& g, const SkinPixels& image, int64_t sx,
                                 int64_t sy, const RECT& dst) {
    const int64_t w = int64_t(dst.right) - dst.left, h = int64_t(dst.bottom) - dst.top;
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0 || sx + w > image.width || sy + h > image.height)
        return false;
    // The destination on the buffer, cut to the clip; what is cut off moves
    // the source's corner with it.
    const int64_t left = std::max<int64_t>(int64_t(dst.left) + origin_.x, clip_.left);
    const int64_t top = std::max<int64_t>(int64_t(dst.top) + origin_.y, clip_.top);
    const int64_t right = std::min<int64_t>(int64_t(dst.right) + origin_.x, clip_.right);
    const int64_t bottom = std::min<int64_t>(int64_t(dst.bottom) + origin_.y, clip_.bottom);
    if (left >= right || top >= bottom) return MatchesGraphics(g);  // nothing shows
    const int64_t fromX = sx + (left - (int64_t(dst.left) + origin_.x));
    const int64_t fromY = sy + (top - (int64_t(dst.top) + origin_.y));
    // GDI+ versions blend partly transparent pixels with differing
    // roundings (some unpremultiply the target first); only clear and
    // opaque ones give the same pixels everywhere, whatever lies below.
    if (!image.ClearOrOpaque(int(fromX), int(fromY), int(fromX + (right - left)),
                             int(fromY + (bottom - top)))) {
        return false;
    }
    if (!MatchesGraphics(g)) return false;
    // GDI+ must have written what it was asked before the pixels are read.
    g.Flush(Gdiplus::FlushIntentionSync);
    const RECT target = {LONG(left), LONG(top), LONG(right), LONG(bottom)};
    buffer_.BlendOver(target, image.Row(int(fromY)) + fromX, size_t(image.width), image.opaque);
    return true;
}
