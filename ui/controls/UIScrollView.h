#pragma once
// A plain container under its own tag: layouts use it where a scrolling
// area may later be needed; it arranges its children as any control does.
#include "ui/UIControl.h"

class UIScrollView : public UIControl {
  public:
    const char* GetClassName() override { return "UIScrollView"; }
};
