#pragma once
// The "grd:" render: a linear gradient from the normal to the hover fill
// colour, e.g. "grd:clrn=#ffffffff|clrh=#ffe0e0e0|mode=1". With a radius,
// the state's fill and border are drawn over the rounded gradient.
#include "ui/UIRenderColor.h"

class UIGradientColor : public UIRenderColor {
  public:
    void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    int Mode() const { return mode_; }

  private:
    // Gdiplus::LinearGradientMode: 0 horizontal, 1 vertical, 2 and 3 diagonal.
    int mode_ = 1;
};
