#pragma once
// The "clr:" render: a per-state solid fill with an optional per-state
// border, square or rounded, e.g. "clr:clr=#80ff0000|round=4".
#include <cstdint>

#include "ui/UIRender.h"

class UIRenderColor : public UIRender {
  public:
    void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    // Indexed by state index (normal, hover, pressed, disabled).
    uint32_t FillColor(int state) const { return fill_[state & 3]; }
    uint32_t BorderColor(int state) const { return border_[state & 3]; }
    int Radius() const { return radius_; }

  protected:
    uint32_t fill_[4] = {0, 0, 0, 0};
    uint32_t border_[4] = {0, 0, 0, 0};
    int radius_ = 0;

  private:
    // Which colours a key sets: a mask of state indexes; 0 for other keys.
    static unsigned StatesOf(const std::wstring& name, const wchar_t* prefix);
};
