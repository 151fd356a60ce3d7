#pragma once
// The value syntaxes shared by control attributes, layout options and
// render-spec bodies. Malformed values never fail: they read as false, 0 or
// an empty rectangle.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/SpecItems.h"

// True for "true", "TRUE", "1" and "yes" only.
bool ParseBool(std::wstring_view value);
// A leading decimal number with an optional sign (leading blanks skipped);
// 0 when the value does not start with one. Saturates at the int range.
int ParseInt(std::wstring_view value);
// Blanks (space, tab, CR, LF) removed at both ends.
std::wstring_view TrimBlanks(std::wstring_view value);

struct UIPosValue {
    int x = 0, y = 0, w = 0, h = 0;
};
// "x,y,w,h" with blanks around the numbers; false (and all 0) unless there
// are exactly four parts.
bool ParseRect(std::wstring_view value, UIPosValue& out);
// A colour as 32-bit ARGB: "white", "black" (a dark grey), hexadecimal
// digits after an optional "0x" and "#" (fewer than eight digits get alpha
// 0xFE), or "r,g,b" / "a,r,g,b" in decimal. Empty gives 0.
uint32_t ParseColor(std::wstring_view value);
// Up to four parts left, top, right, bottom; missing parts are 0.
RECT ParsePadding(std::wstring_view value);
// v kept inside the int range.
int ClampToInt(long long v);
// (x, y, x + w, y + h), kept inside the int range.
RECT MakeRect(int x, int y, int w, int h);
