#pragma once
// A control that places its visible children in a row, vertically centred,
// from the left ("halign" 0) or from the right ("halign" 2). Children with
// any "adj" text are adjustable: they keep their size, but the next child
// is placed an equal share of the free width further on.
#include "ui/UIControl.h"

class HLayoutCtrl : public UIControl {
  public:
    const char* GetClassName() override { return "HLayoutCtrl"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Layout() override;
    int OnCreate(LPARAM lParam) override;

  private:
    int halign_ = 0;
    int space_ = 0;
    int xstart_ = 0;
};
