#include "ui/UIVLayout.h"

void UIVLayout::Arrange(UIControl* parent) { ArrangeStack(parent, false); }
