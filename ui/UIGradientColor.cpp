#include "ui/UIGradientColor.h"

#include "ui/AttributeParse.h"
#include "ui/ShapeDraw.h"
#include "ui/StateIndex.h"
#include "ui/UIControl.h"

void UIGradientColor::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"mode") {
        mode_ = ParseInt(value);
    } else {
        UIRenderColor::SetAttribute(name, value);
    }
}

namespace {

// GDI+ knows modes 0 to 3 only; with any other the gradient is left out, as a
// failed brush would leave it out, and the rest is still drawn.
bool IsGradientMode(int mode) {
    return mode >= Gdiplus::LinearGradientModeHorizontal &&
           mode <= Gdiplus::LinearGradientModeBackwardDiagonal;
}

}  // namespace

void UIGradientColor::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
    if (!control) return;
    const int w = control->Width(), h = control->Height();
    if (w <= 0 || h <= 0) return;
    const bool gradient = IsGradientMode(mode_);
    Gdiplus::LinearGradientBrush brush(
        Gdiplus::Rect(0, 0, w, h), Gdiplus::Color(fill_[0]), Gdiplus::Color(fill_[1]),
        static_cast<Gdiplus::LinearGradientMode>(gradient ? mode_ : 0));
    brush.SetWrapMode(Gdiplus::WrapModeTile);
    if (radius_ == 0) {
        if (gradient) graphics.FillRectangle(&brush, 0, 0, w, h);
        return;
    }
    const int s = GetStateIndex(control);
    if (gradient) FillRoundRect(graphics, brush, 0, 0, w, h, radius_);
    FillRoundRect(graphics, fill_[s], 0, 0, w, h, radius_);
    OutlineRoundRect(graphics, border_[s], 0, 0, w - 1, h - 1, radius_);
}
