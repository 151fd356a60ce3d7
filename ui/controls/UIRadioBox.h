#pragma once
// A check box that only a click can check, never uncheck: checking one
// unchecks the other radio boxes of its "group" among its siblings.
#include "ui/controls/UICheckBox.h"

class UIRadioBox : public UICheckBox {
  public:
    const char* GetClassName() override { return "UIRadioBox"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void OnCheckChanged() override;

    const std::wstring& GetRadioGroup() const { return group_; }

  private:
    std::wstring group_;
};
