#include "ui/UIHLayout.h"

void UIHLayout::Arrange(UIControl* parent) { ArrangeStack(parent, true); }
