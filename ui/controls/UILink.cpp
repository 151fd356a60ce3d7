#include "ui/controls/UILink.h"

// Everything a link does is the button's; this unit keeps the class with its
// own pair of files like every other control.
