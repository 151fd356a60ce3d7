#pragma once
// A button used for hyperlink-like texts: it differs only by its class name,
// so page groups leave it alone. Its look (an underlined font, a hover
// colour) comes from the layout.
#include "ui/controls/UIButton.h"

class UILink : public UIButton {
  public:
    const char* GetClassName() override { return "UILink"; }
};
