#pragma once
// A button with a second set of state looks for its "on" position; a click
// flips it and raises "checkchanged" with the new position, then "click".
#include "ui/controls/UIButton.h"
#include "ui/controls/UIStateImages.h"

class UISwitch : public UIButton {
  public:
    const char* GetClassName() override { return "UISwitch"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    UIRender* GetStateRender(int index) override;
    void OnClick() override;

    bool IsOn() const { return on_; }

  private:
    UIStateImages onImages_;
    bool on_ = false;
};
