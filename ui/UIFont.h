#pragma once
// Font specs such as "14", "14u" or "16bu": a pixel size followed by style
// letters. The family is the system's icon-title face, read once per
// process; the host window caches one font per font text (GetFont).
#include <string>
#include <string_view>

#include "ui/GdiplusHeaders.h"

struct UIFontSpec {
    int size = 0;         // pixels; the leading decimal number
    int style = 0;        // Gdiplus::FontStyle bits: 1 bold, 2 italic, 4 underline, 8 strikeout
    std::wstring family;  // the text before the first "_", if any
};

UIFontSpec ParseFontSpec(std::wstring_view spec);

// The system family's face name, read once.
const std::wstring& SystemFontFace();

// A new font for a non-empty spec, in pixel units; the generic sans-serif
// family replaces a family that cannot be created. The caller owns it.
Gdiplus::Font* CreateFontForSpec(std::wstring_view spec);

// The process-wide default: the system family at 13 pixels, regular, created
// once and never deleted.
Gdiplus::Font* DefaultFont();
