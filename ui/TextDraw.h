#pragma once
// Text layout and drawing shared by the text render and the controls that
// draw their own text: alignment in a rectangle, trimming, one or several
// lines, margins, run markup ("<text><p clr=...>run</p></text>") and a
// soft shadow.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/GdiplusHeaders.h"

struct UITextOptions {
    int horz = 0;      // 0 near (left), 1 centre, 2 far
    int vert = 1;      // 0 top, 1 centre, 2 bottom
    int trimming = 0;  // Gdiplus::StringTrimming; 0 none
    bool singleLine = true;
    RECT inset = {0, 0, 0, 0};  // left, top, right, bottom margins
    bool keyword = false;       // the text may be run markup
    bool shadow = false;
};

// Font specs of run markup to fonts; an empty function, or a null answer,
// leaves the run in the base font.
using UIFontResolver = std::function<Gdiplus::Font*(const std::wstring& spec)>;

// Draws text into rect shrunk by the inset. Nothing is drawn without a font
// or when the margins leave no room.
void DrawTextInRect(Gdiplus::Graphics& g, const RECT& rect, const std::wstring& text,
                    Gdiplus::Font* font, Gdiplus::ARGB color, const UITextOptions& options,
                    const UIFontResolver& fonts = {});

// The text's size as a single run: width rounded down plus one, height
// rounded down; 0 x 0 without a font.
SIZE MeasureText(Gdiplus::Graphics& g, const std::wstring& text, Gdiplus::Font* font);
// The same on a scratch bitmap, for callers without a graphics object.
SIZE MeasureText(const std::wstring& text, Gdiplus::Font* font);
