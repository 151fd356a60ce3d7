#include "ui/controls/UIProgress.h"

#include <algorithm>
#include <cstdint>

#include "ui/AttributeParse.h"
#include "ui/GdiplusHeaders.h"
#include "ui/ImageDraw.h"
#include "ui/ShapeDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/UIRenderImg.h"

namespace {

constexpr Gdiplus::ARGB kTrackColor = 0xFFEEEEEE;
constexpr Gdiplus::ARGB kBarColor = 0xFF2BA245;
// Image renders made from "prob" and "prof" start as a whole-image
// three-slice, so that the bar's rounded ends keep their shape.
constexpr wchar_t kDefaultImageType[] = L"4";

}  // namespace

UIProgress::UIProgress() = default;
UIProgress::~UIProgress() = default;

void UIProgress::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"value") {
        SetValue(ParseInt(value));
    } else if (name == L"prob") {
        SetImage(trackRender_, value);
    } else if (name == L"prof") {
        SetImage(barRender_, value);
    } else if (name == L"drawtype") {
        SetDrawType(value);
    }
    UIControl::SetAttribute(name, value);
}

void UIProgress::SetImage(UIRefPtr<UIRenderImg>& render, const std::wstring& file) {
    render = UIRefPtr<UIRenderImg>::Adopt(new UIRenderImg());
    render->SetAttribute(L"type", kDefaultImageType);
    render->SetAttribute(L"file", file);
    Invalidate(nullptr);
}

void UIProgress::SetDrawType(const std::wstring& type) {
    if (trackRender_) trackRender_->SetAttribute(L"type", type);
    if (barRender_) barRender_->SetAttribute(L"type", type);
    Invalidate(nullptr);
}

// Values outside 0 to 100 (the script reports up to 101) would draw past the
// control's right edge, where only the host's clip would stop them.
void UIProgress::SetValue(int value) {
    value = std::clamp(value, 0, 100);
    if (value == value_) return;
    const int before = FillWidth();
    value_ = value;
    InvalidateFillChange(before, FillWidth());
}

int UIProgress::FillWidth() const {
    const int64_t w = std::max(0, Width());
    return static_cast<int>(w * value_ / 100);
}

bool UIProgress::FillIsCut(int fill) {
    if (!barRender_) return true;  // a solid colour
    SkinBitmap* image = barRender_->GetImage();
    if (!image || !image->IsDecoded()) return true;  // draws nothing
    // A cut image is stretched only when it is narrower than the fill.
    return barRender_->GetDrawType() == kImageStretch &&
           static_cast<int64_t>(image->GetWidth()) >= fill;
}

void UIProgress::InvalidateFillChange(int from, int to) {
    if (from == to) return;
    int lo = std::min(from, to), hi = std::max(from, to);
    if (!FillIsCut(hi)) lo = 0;
    // One column either side: the edge column of a filtered image blends
    // with its neighbour.
    RECT band = {std::max(lo - 1, 0), 0, std::min(hi + 1, Width()), Height()};
    Invalidate(&band);
}

void UIProgress::Paint(Gdiplus::Graphics& graphics) {
    if (trackRender_) {
        trackRender_->Draw(this, graphics);
    } else {
        FillSolidRect(graphics, kTrackColor, 0, 0, Width(), Height());
    }
    const int fill = FillWidth();
    if (fill < 1) return;
    DrawBar(graphics, fill);
}

void UIProgress::DrawBar(Gdiplus::Graphics& graphics, int fill) {
    const int h = Height();
    if (!barRender_) {
        FillSolidRect(graphics, kBarColor, 0, 0, fill, h);
        return;
    }
    SkinBitmap* image = barRender_->GetImage();
    if (!image || !image->IsDecoded()) return;
    const int type = barRender_->GetDrawType();
    if (type != kImageStretch) {
        DrawImageByType(graphics, image, type, RECT{0, 0, fill, h}, RECT{0, 0, 0, 0});
        return;
    }
    // A stretched bar is cut to the filled part rather than squeezed into
    // it. Source and destination columns match one to one, so only the
    // columns inside the clip (a report's band) need drawing.
    RECT cut = {0, 0, fill, h};
    Gdiplus::Rect clip;
    if (graphics.GetClipBounds(&clip) == Gdiplus::Ok) {
        cut.left = std::max(cut.left, static_cast<LONG>(clip.X) - 1);
        cut.right = std::min(cut.right, static_cast<LONG>(clip.X + clip.Width) + 1);
        if (cut.left >= cut.right) return;
    }
    DrawImageByType(graphics, image, type, cut, cut);
}
