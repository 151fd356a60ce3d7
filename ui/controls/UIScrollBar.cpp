#include "ui/controls/UIScrollBar.h"

#include <algorithm>

#include "ui/AttributeParse.h"
#include "ui/GdiplusHeaders.h"
#include "ui/ShapeDraw.h"
#include "ui/controls/LocalPoint.h"

// ---- Position --------------------------------------------------------------

int UIScrollBar::ClampedPos(int64_t value) const {
    value = std::min<int64_t>(value, static_cast<int64_t>(total_) - page_);
    return ClampToInt(std::max<int64_t>(value, 0));
}

void UIScrollBar::SetScrollPos(int value) {
    const int position = ClampedPos(value);
    if (position == position_) return;
    position_ = position;
    Invalidate(nullptr);
    Notify("scollposchanged", 0, position_);
}

void UIScrollBar::ClampScrollPos() { position_ = ClampedPos(position_); }

void UIScrollBar::SetTotal(int total) {
    if (total == total_) return;
    total_ = total;
    Invalidate(nullptr);
}

void UIScrollBar::SetPage(int page) {
    if (page == page_) return;
    page_ = page;
    Invalidate(nullptr);
}

void UIScrollBar::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate(nullptr);
}

bool UIScrollBar::GetThumbRect(RECT& rc) {
    // Also no thumb without content: the ratios below divide by the total.
    if (total_ <= 0 || page_ >= total_) return false;
    const int64_t track = TrackLength();
    const int64_t page = std::max(page_, 0);
    const int64_t length = std::max<int64_t>(track * page / total_, kMinThumbLength);
    int64_t start = static_cast<int64_t>(position_) * track / total_;
    if (start + length > track) start = track - length;
    const int s = ClampToInt(start), e = ClampToInt(start + length);
    rc = horizontal_ ? RECT{s, 0, e, Height()} : RECT{0, s, Width(), e};
    return true;
}

bool UIScrollBar::IsOnThumb(POINT pt) {
    RECT thumb;
    return GetThumbRect(thumb) && ::PtInRect(&thumb, pt);
}

// ---- Mouse -----------------------------------------------------------------

bool UIScrollBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    bool handled = true;
    switch (msg) {
        case WM_LBUTTONDOWN:
            OnLButtonDown(LocalPoint(*this, lParam));
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(LocalPoint(*this, lParam));
            break;
        case WM_LBUTTONUP:
            OnLButtonUp();
            break;
        case WM_CAPTURECHANGED:
            SetStyleA(kStyleDragging, false);
            break;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            break;
        default:
            handled = false;
            break;
    }
    return UIControl::HandleMessage(msg, wParam, lParam, result) || handled;
}

// A press on the track outside the thumb does nothing.
void UIScrollBar::OnLButtonDown(POINT pt) {
    RECT thumb;
    if (!GetThumbRect(thumb) || !::PtInRect(&thumb, pt)) return;
    dragStart_ = pt;
    dragStartPosition_ = position_;
    thumbHover_ = true;
    grabOffset_ = Along(pt) - (horizontal_ ? thumb.left : thumb.top);
    SetStyleA(kStyleDragging, true);
    if (IUIContainer* host = GetHost()) host->CaptureControl(Handle());
}

void UIScrollBar::OnMouseMove(POINT pt) {
    if (!IsDragging()) {
        const bool hover = IsOnThumb(pt);
        if (hover != thumbHover_) {
            thumbHover_ = hover;
            Invalidate(nullptr);
        }
        return;
    }
    const int64_t d = static_cast<int64_t>(Along(pt)) - grabOffset_;
    const int track = TrackLength();
    if (d < 0) {
        SetScrollPos(0);
    } else if (track > 0) {
        SetScrollPos(ClampToInt(d * total_ / track));
        if (UIControl* parent = GetParent()) parent->Invalidate(nullptr);
    }
}

void UIScrollBar::OnLButtonUp() {
    if (!IsDragging()) return;
    SetStyleA(kStyleDragging, false);
    IUIContainer* host = GetHost();
    if (host && host->GetCapturedControl() == Handle()) host->ReleaseControlCapture();
    Notify("scollposchanged", 0, position_);
    Notify("scollendtrack", 0, position_);
    Invalidate(nullptr);
}

void UIScrollBar::OnMouseLeave() {
    if (!thumbHover_) return;
    thumbHover_ = false;
    Invalidate(nullptr);
}

// ---- Painting --------------------------------------------------------------

uint32_t UIScrollBar::ThumbColor() const {
    if (GetState() & kStatePressed) return pressedColor_;
    return thumbHover_ ? hoverColor_ : normalColor_;
}

void UIScrollBar::Paint(Gdiplus::Graphics& graphics) {
    RECT thumb;
    if (!GetThumbRect(thumb)) return;
    const int w = thumb.right - thumb.left, h = thumb.bottom - thumb.top;
    const int radius = (horizontal_ ? h : w) / 2;
    FillRoundRect(graphics, ThumbColor(), thumb.left, thumb.top, w, h, radius);
}
