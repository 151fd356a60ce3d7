#include "ui/controls/UIScrollView.h"
