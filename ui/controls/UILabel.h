#pragma once
// A control that draws its text with a text render ("clr", "font", "horz"...
// given on the label configure it) into its text rectangle.
#include "ui/UIControl.h"
#include "ui/UIRefObj.h"
#include "ui/UIRenderText.h"

class UILabel : public UIControl {
  public:
    UILabel();

    const char* GetClassName() override { return "UILabel"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    // Where the text goes, in the control's own coordinates.
    virtual void GetTextRect(RECT& rc);
    // Draws the control text into the text rectangle; nothing when empty.
    virtual void DrawLabelText(Gdiplus::Graphics& graphics);

    UIRenderText* GetTextRender() const { return textRender_.get(); }
    int GetXStart() const { return xstart_; }
    int GetXEnd() const { return xend_; }
    bool IsAlias() const { return alias_; }

  private:
    void SetTextAttributes(const std::wstring& items);

    UIRefPtr<UIRenderText> textRender_;
    int xstart_ = 0;
    int xend_ = 0;
    bool alias_ = false;
};
