#pragma once
// A control that stacks its visible children from the top, each placed
// left, centred ("halign" 1, the default) or right. Children with any "adj"
// text keep their size; the next child follows an equal share of the free
// height further down.
#include "ui/UIControl.h"

class VLayoutCtrl : public UIControl {
  public:
    const char* GetClassName() override { return "VLayoutCtrl"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Layout() override;
    int OnCreate(LPARAM lParam) override;

  private:
    int halign_ = 1;
    int valign_ = 0;  // stored only
    int space_ = 0;
};
