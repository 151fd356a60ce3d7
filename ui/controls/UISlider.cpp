#include "ui/controls/UISlider.h"

#include <algorithm>
#include <cstdint>

#include "ui/ImageDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"
#include "ui/controls/LocalPoint.h"

namespace {

constexpr int kDefaultThumbWidth = 20;

SkinBitmap* LoadImage(const std::wstring& name) {
    UIResLoader* loader = GetResLoader();
    SkinBitmap* image = loader ? loader->GetImage(name) : nullptr;
    return image && image->IsDecoded() ? image : nullptr;
}

int ImageWidth(SkinBitmap* image) { return image ? static_cast<int>(image->GetWidth()) : 0; }
int ImageHeight(SkinBitmap* image) { return image ? static_cast<int>(image->GetHeight()) : 0; }

}  // namespace

void UISlider::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"thumb") {
        thumb_ = LoadImage(value);
        Invalidate(nullptr);
    } else if (name == L"sliderbg") {
        trackBack_ = LoadImage(value);
        Invalidate(nullptr);
    } else if (name == L"sliderfg") {
        trackFore_ = LoadImage(value);
        Invalidate(nullptr);
    }
    UIControl::SetAttribute(name, value);
}

// ---- Geometry --------------------------------------------------------------

int UISlider::PositionX() const {
    return static_cast<int>(static_cast<int64_t>(Width()) * position_ / 100);
}

int UISlider::ThumbFrameWidth() { return thumb_ ? ImageWidth(thumb_) / 4 : kDefaultThumbWidth; }

// The thumb is centred on the position but kept inside the track.
int UISlider::ThumbLeft(int x, int half) {
    const int tw = ThumbFrameWidth();
    int left = std::max(x - half, 0);
    if (left + tw > Width()) left = Width() - tw;
    return left;
}

RECT UISlider::GetThumbRect() {
    const int tw = ThumbFrameWidth();
    const int left = ThumbLeft(PositionX(), tw / 2);
    return RECT{left, 0, left + tw, Height()};
}

void UISlider::SetPosition(int position) {
    position_ = std::clamp(position, 0, 100);
    Notify("sliderposchanged", 0, 0);
    Invalidate(nullptr);
}

// ---- Mouse -----------------------------------------------------------------

bool UISlider::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    bool handled = true;
    switch (msg) {
        case WM_MOUSEMOVE:
            OnMouseMove(LocalPoint(*this, lParam));
            break;
        case WM_LBUTTONDOWN:
            OnLButtonDown(LocalPoint(*this, lParam));
            break;
        case WM_LBUTTONUP:
            OnLButtonUp();
            break;
        case WM_CAPTURECHANGED:
            OnCaptureLost();
            break;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            break;
        default:
            handled = false;
            break;
    }
    // The base still sees every message (hover and pressed state, wheel).
    return UIControl::HandleMessage(msg, wParam, lParam, result) || handled;
}

void UISlider::OnMouseMove(POINT pt) {
    RECT thumb = GetThumbRect();
    const bool hover = ::PtInRect(&thumb, pt) != 0;
    if (hover != thumbHover_) {
        thumbHover_ = hover;
        Invalidate(nullptr);
    }
    if (!dragging_) return;
    const int64_t width = Width() == 0 ? 1 : Width();
    const int64_t moved = (static_cast<int64_t>(pt.x) - dragStart_.x) * 100 / width;
    SetPosition(static_cast<int>(std::clamp<int64_t>(moved + dragStartPosition_, 0, 100)));
}

void UISlider::OnLButtonDown(POINT pt) {
    dragStart_ = pt;
    RECT thumb = GetThumbRect();
    if (::PtInRect(&thumb, pt)) {
        dragging_ = true;
        dragStartPosition_ = position_;
        if (IUIContainer* host = GetHost()) host->CaptureControl(Handle());
        Invalidate(nullptr);
        return;
    }
    const int w = Width();
    const int64_t at = w < 1 ? 0 : static_cast<int64_t>(pt.x) * 100 / w;
    SetPosition(static_cast<int>(std::clamp<int64_t>(at, 0, 100)));
}

void UISlider::OnLButtonUp() {
    // Only a capture this slider holds is given up: another control's
    // capture is none of its business.
    IUIContainer* host = GetHost();
    if (host && host->GetCapturedControl() == Handle()) host->ReleaseControlCapture();
    if (!dragging_) return;
    dragging_ = false;
    Notify("sliderendtrack", 0, 0);
    Invalidate(nullptr);
}

void UISlider::OnCaptureLost() {
    dragging_ = false;
    Invalidate(nullptr);
}

void UISlider::OnMouseLeave() {
    thumbHover_ = false;
    Invalidate(nullptr);
}

// ---- Painting --------------------------------------------------------------

int UISlider::ThumbFrameIndex() const {
    if (!IsEnableBit()) return 3;
    if (dragging_) return 2;
    return thumbHover_ ? 1 : 0;
}

void UISlider::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    DrawTrack(graphics, trackBack_, Width());
    DrawTrack(graphics, trackFore_, PositionX());
    DrawThumb(graphics);
}

// Vertically centred at its natural height, stretched along the track.
void UISlider::DrawTrack(Gdiplus::Graphics& graphics, SkinBitmap* image, int width) {
    if (!image || width < 1) return;
    const int h = ImageHeight(image);
    const int top = (Height() - h) / 2;
    DrawImageByType(graphics, image, kImageStretch, RECT{0, top, width, top + h}, RECT{0, 0, 0, 0});
}

void UISlider::DrawThumb(Gdiplus::Graphics& graphics) {
    if (!thumb_) return;
    const int tw = ThumbFrameWidth();
    const int th = ImageHeight(thumb_);
    const int left = ThumbLeft(PositionX(), ImageWidth(thumb_) / 8);
    const int top = (Height() - th) / 2;
    const int frameX = ThumbFrameIndex() * tw;
    DrawImageByType(graphics, thumb_, kImageStretch, RECT{left, top, left + tw, top + th},
                    RECT{frameX, 0, frameX + tw, th});
}
