#pragma once
// The "txt:" render: the control's text in a per-state font and colour,
// aligned in the control, e.g. "txt:font=14|clr=#ff5C5D5F|horz=1".
#include <cstdint>

#include "ui/TextDraw.h"
#include "ui/UIRender.h"

class IUIContainer;

class UIRenderText : public UIRender {
  public:
    void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    // The same drawing into a part of the control (a label's text rectangle).
    void DrawInRect(UIControl* control, Gdiplus::Graphics& graphics, const RECT& rc);

    // Indexed by state index (normal, hover, pressed, disabled).
    uint32_t Color(int state) const { return colors_[state & 3]; }
    const std::wstring& FontSpec(int state) const { return fonts_[state & 3]; }
    const UITextOptions& Options() const { return options_; }

    // The font of a spec from the control's host; without a host (a control
    // not yet in a window) the process's default font.
    static Gdiplus::Font* FontFor(IUIContainer* host, const std::wstring& spec);

  private:
    uint32_t colors_[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF3C3C3C};
    std::wstring fonts_[4];
    UITextOptions options_;
};
