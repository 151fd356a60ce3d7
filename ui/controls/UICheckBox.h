#pragma once
// A button that draws a box image (checked or unchecked look, by state
// index) beside its text and toggles its checked value when clicked,
// raising "checkchanged" with the new value.
#include "ui/controls/UIButton.h"
#include "ui/controls/UIStateImages.h"

class UICheckBox : public UIButton {
  public:
    const char* GetClassName() override { return "UICheckBox"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    void GetTextRect(RECT& rc) override;
    void OnClick() override;
    // Runs after every change of the checked value, by click or by the
    // script; raises nothing itself.
    virtual void OnCheckChanged() {}

    bool IsChecked() const { return checked_; }
    // Stores the value only: no event, no repaint, no group rule.
    void SetCheckedValue(bool checked) { checked_ = checked; }
    // The script's way to check: a changed value runs OnCheckChanged and
    // repaints, raising no event.
    void SetChecked(bool checked);

    int GetXLabel() const { return xlabel_; }
    int GetYLabel() const { return ylabel_; }
    const RECT& GetBoxRect() const { return box_; }

  private:
    void PaintBox(Gdiplus::Graphics& graphics);

    UIStateImages checkedImages_;
    UIStateImages uncheckedImages_;
    bool checked_ = false;
    int xlabel_ = 24;
    int ylabel_ = 0;
    RECT box_ = {0, 0, 20, 20};
};
