#pragma once
// "vert": a vertical stack. Every child is stretched to the client width;
// fixed children keep their desired height, "adj" children share the rest.
#include "ui/UILayout.h"

class UIVLayout : public UILayout {
  public:
    UIVLayout() : UILayout(-1, 0) {}
    void Arrange(UIControl* parent) override;
};
