#pragma once
// GDI+'s headers call unqualified min and max, which NOMINMAX removes.
#include <windows.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <objidl.h>
#include <gdiplus.h>
