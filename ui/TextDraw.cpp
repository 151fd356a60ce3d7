#include "ui/TextDraw.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/AttributeParse.h"
#include "xml/XmlDocument.h"

namespace {

// Not in every SDK's enumeration; GDI+ has accepted it since its first version.
constexpr INT kStringFormatFlagsBypassGDI = INT(0x80000000u);
constexpr Gdiplus::ARGB kShadowInk = 0xFE101010;
constexpr int kShadowDrop = 3;   // the ink is drawn this far below the text
constexpr int kShadowLeft = 3;   // columns to the left summed into a pixel
constexpr int kShadowBelow = 4;  // rows below summed into a pixel
// A shadow bitmap larger than this (a 4096 x 4096 layout) is not made: the
// text is drawn without its shadow instead of exhausting memory.
constexpr int64_t kMaxShadowPixels = int64_t(4096) * 4096;

INT TextLength(const std::wstring& text) {
    return static_cast<INT>(std::min<size_t>(text.size(), INT_MAX));
}

Gdiplus::StringAlignment AlignmentOf(int value) {
    if (value == 1) return Gdiplus::StringAlignmentCenter;
    if (value == 2) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

void SetUpFormat(Gdiplus::StringFormat& format, const UITextOptions& options) {
    INT flags = kStringFormatFlagsBypassGDI | Gdiplus::StringFormatFlagsLineLimit;
    if (options.singleLine) flags |= Gdiplus::StringFormatFlagsNoWrap;
    format.SetFormatFlags(flags);
    format.SetAlignment(AlignmentOf(options.horz));
    format.SetLineAlignment(AlignmentOf(options.vert));
    if (options.trimming != 0) {
        format.SetTrimming(static_cast<Gdiplus::StringTrimming>(options.trimming));
    }
}

// rect shrunk by the margins, computed wide so that no sum overflows; false
// when nothing is left to draw in.
bool LayoutRect(const RECT& rect, const RECT& inset, Gdiplus::RectF& out) {
    const int64_t left = int64_t(rect.left) + inset.left;
    const int64_t top = int64_t(rect.top) + inset.top;
    const int64_t right = int64_t(rect.right) - inset.right;
    const int64_t bottom = int64_t(rect.bottom) - inset.bottom;
    if (right <= left || bottom <= top) return false;
    out = Gdiplus::RectF(float(left), float(top), float(right - left), float(bottom - top));
    return true;
}

void DrawPlain(Gdiplus::Graphics& g, const Gdiplus::RectF& layout, const std::wstring& text,
               Gdiplus::Font* font, Gdiplus::ARGB color, const Gdiplus::StringFormat& format) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    g.DrawString(text.c_str(), TextLength(text), font, layout, &format, &brush);
}

// ---- Run markup ----------------------------------------------------------

struct TextRun {
    std::wstring text;
    Gdiplus::Font* font;
    Gdiplus::ARGB color;
};

Gdiplus::Font* ResolveFont(const UIFontResolver& fonts, const std::wstring& spec,
                           Gdiplus::Font* fallback) {
    if (spec.empty() || !fonts) return fallback;
    Gdiplus::Font* font = fonts(spec);
    return font ? font : fallback;
}

Gdiplus::ARGB ResolveColor(const std::wstring& value, Gdiplus::ARGB fallback) {
    const uint32_t color = ParseColor(value);
    return color != 0 ? color : fallback;
}

// The runs of "<text font=.. clr=..><p font=.. clr=..>run</p>...</text>"; false
// when the text holds no such root, so that it is drawn as it stands.
bool ReadRuns(const std::wstring& text, Gdiplus::Font* font, Gdiplus::ARGB color,
              const UIFontResolver& fonts, std::vector<TextRun>& runs) {
    if (text.find(L"<text") == std::wstring::npos) return false;
    XmlDocument doc;
    doc.SetText(text);
    if (!doc.FindElement(L"text")) return false;
    // A root without "font" or "clr" passes on the render's own, so that a
    // bare "<text>" does not draw in transparent ink.
    Gdiplus::Font* rootFont = ResolveFont(fonts, doc.GetAttributeValue(L"font"), font);
    const Gdiplus::ARGB rootColor = ResolveColor(doc.GetAttributeValue(L"clr"), color);
    if (!doc.EnterElement()) return true;
    while (doc.FindElement(L"p")) {
        runs.push_back(TextRun{doc.GetText(),
                               ResolveFont(fonts, doc.GetAttributeValue(L"font"), rootFont),
                               ResolveColor(doc.GetAttributeValue(L"clr"), rootColor)});
    }
    return true;
}

void DrawRuns(Gdiplus::Graphics& g, const Gdiplus::RectF& layout, const std::vector<TextRun>& runs,
              int horz, Gdiplus::StringFormat& format) {
    std::vector<int> widths;
    int64_t total = 0;
    for (const TextRun& run : runs) {
        widths.push_back(MeasureText(g, run.text, run.font).cx);
        total += widths.back();
    }
    float x = layout.X;
    if (horz == 1) x = layout.X + (layout.Width - float(total)) / 2;
    if (horz == 2) x = layout.X + layout.Width - float(total);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    for (size_t i = 0; i < runs.size(); ++i) {
        const Gdiplus::RectF box(x, layout.Y, layout.Width, layout.Height);
        DrawPlain(g, box, runs[i].text, runs[i].font, runs[i].color, format);
        x += float(widths[i]);
    }
}

// ---- Shadow --------------------------------------------------------------

// Locked 32-bit ARGB pixels of a bitmap, unlocked on destruction.
class LockedPixels {
  public:
    LockedPixels(Gdiplus::Bitmap& bitmap, int w, int h) : bitmap_(bitmap) {
        Gdiplus::Rect all(0, 0, w, h);
        locked_ = bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                                  PixelFormat32bppARGB, &data_) == Gdiplus::Ok;
    }
    ~LockedPixels() {
        if (locked_) bitmap_.UnlockBits(&data_);
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;

    bool IsLocked() const { return locked_; }
    uint32_t& At(int x, int y) {
        auto* row = static_cast<uint8_t*>(data_.Scan0) + int64_t(y) * data_.Stride;
        return reinterpret_cast<uint32_t*>(row)[x];
    }

  private:
    Gdiplus::Bitmap& bitmap_;
    Gdiplus::BitmapData data_ = {};
    bool locked_ = false;
};

// Each alpha becomes the sum of the alphas of columns x - 3 to x and rows y to
// y + 4, capped at 255. Done in place, column by column, so the columns to the
// left already hold their new sums: that widens the blur to the right.
void SpreadShadowAlpha(LockedPixels& px, int w, int h) {
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            uint32_t sum = 0;
            for (int cx = std::max(0, x - kShadowLeft); cx <= x; ++cx) {
                for (int cy = y; cy <= y + kShadowBelow && cy < h; ++cy) sum += px.At(cx, cy) >> 24;
            }
            uint32_t& p = px.At(x, y);
            p = (std::min<uint32_t>(sum, 255) << 24) | (p & 0xFFFFFF);
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) px.At(x, y) &= 0xFF000000u;
    }
}

void DrawShadow(Gdiplus::Graphics& g, const Gdiplus::RectF& layout, const std::wstring& text,
                Gdiplus::Font* font, const Gdiplus::StringFormat& format) {
    const int w = int(layout.Width), h = int(layout.Height);
    if (int64_t(w) * h > kMaxShadowPixels) return;
    Gdiplus::Bitmap shadow(w, h, PixelFormat32bppARGB);
    if (shadow.GetLastStatus() != Gdiplus::Ok) return;
    {
        Gdiplus::Graphics sg(&shadow);
        const Gdiplus::RectF box(0, float(kShadowDrop), float(w), float(h));
        DrawPlain(sg, box, text, font, kShadowInk, format);
    }
    {
        LockedPixels px(shadow, w, h);
        if (!px.IsLocked()) return;
        SpreadShadowAlpha(px, w, h);
    }
    g.DrawImage(&shadow, Gdiplus::RectF(layout.X, layout.Y, float(w), float(h)), 0, 0, float(w),
                float(h), Gdiplus::UnitPixel);
}

}  // namespace

void DrawTextInRect(Gdiplus::Graphics& g, const RECT& rect, const std::wstring& text,
                    Gdiplus::Font* font, Gdiplus::ARGB color, const UITextOptions& options,
                    const UIFontResolver& fonts) {
    Gdiplus::RectF layout;
    if (!font || !LayoutRect(rect, options.inset, layout)) return;
    Gdiplus::StringFormat format;
    SetUpFormat(format, options);
    if (options.keyword) {
        std::vector<TextRun> runs;
        if (ReadRuns(text, font, color, fonts, runs)) {
            return DrawRuns(g, layout, runs, options.horz, format);
        }
    }
    if (options.shadow) DrawShadow(g, layout, text, font, format);
    DrawPlain(g, layout, text, font, color, format);
}

SIZE MeasureText(Gdiplus::Graphics& g, const std::wstring& text, Gdiplus::Font* font) {
    if (!font) return SIZE{0, 0};
    std::unique_ptr<Gdiplus::StringFormat> format(
        Gdiplus::StringFormat::GenericTypographic()->Clone());
    if (!format) return SIZE{0, 0};
    format->SetFormatFlags(format->GetFormatFlags() |
                           Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    const Gdiplus::RectF box(0, 0, 10000, 10000);
    Gdiplus::RectF bounds;
    if (g.MeasureString(text.c_str(), TextLength(text), font, box, format.get(), &bounds) !=
        Gdiplus::Ok) {
        return SIZE{0, 0};
    }
    return SIZE{LONG(bounds.Width) + 1, LONG(bounds.Height)};
}

SIZE MeasureText(const std::wstring& text, Gdiplus::Font* font) {
    Gdiplus::Bitmap scratch(10, 10, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&scratch);
    return MeasureText(g, text, font);
}
