#pragma once
// "horz": a horizontal stack. Fixed children keep their desired size, "adj"
// children share what is left of the client width.
#include "ui/UILayout.h"

class UIHLayout : public UILayout {
  public:
    UIHLayout() : UILayout(0, -1) {}
    void Arrange(UIControl* parent) override;
};
