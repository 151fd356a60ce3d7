#include "ui/UIRefObj.h"

void UIRefObj::DeleteSelf() { delete this; }
