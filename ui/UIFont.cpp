#include "ui/UIFont.h"

#include <map>
#include <memory>

#include "ui/AttributeParse.h"

// "Family_14b": the family comes before the first "_" and the size and
// style letters after it, so a family name's own letters never read as
// styles and a spec starting with a family still gets its size.
UIFontSpec ParseFontSpec(std::wstring_view spec) {
    UIFontSpec out;
    const size_t underscore = spec.find(L'_');
    if (underscore != std::wstring_view::npos) {
        out.family = std::wstring(spec.substr(0, underscore));
        spec = spec.substr(underscore + 1);
    }
    out.size = ParseInt(spec);
    if (out.size < 0) out.size = 0;
    for (wchar_t c : spec) {
        switch (c) {
            case L'b':
            case L'B':
                out.style |= Gdiplus::FontStyleBold;
                break;
            case L'i':
            case L'I':
                out.style |= Gdiplus::FontStyleItalic;
                break;
            case L'u':
            case L'U':
                out.style |= Gdiplus::FontStyleUnderline;
                break;
            case L's':
            case L'S':
                out.style |= Gdiplus::FontStyleStrikeout;
                break;
            default:
                break;
        }
    }
    return out;
}

namespace {

std::wstring ReadSystemFace() {
    LOGFONTW lf = {};
    if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0) && lf.lfFaceName[0]) {
        return lf.lfFaceName;
    }
    HGDIOBJ gui = ::GetStockObject(DEFAULT_GUI_FONT);
    if (gui && ::GetObjectW(gui, sizeof(lf), &lf) && lf.lfFaceName[0]) return lf.lfFaceName;
    return L"";
}

// Looking a family up by name walks the system's fonts, which takes seconds
// on some systems: each family is looked up once per process and kept (like
// the default font, never deleted, so no GDI+ object outlives GDI+). Null
// when the family cannot be made.
const Gdiplus::FontFamily* FamilyOf(const std::wstring& face) {
    static std::map<std::wstring, Gdiplus::FontFamily*> families;
    auto it = families.find(face);
    if (it != families.end()) return it->second;
    auto family = std::make_unique<Gdiplus::FontFamily>(face.c_str());
    Gdiplus::FontFamily* kept = family->GetLastStatus() == Gdiplus::Ok ? family.release() : nullptr;
    families.emplace(face, kept);
    return kept;
}

// The font, or null when GDI+ could not make one with this family.
Gdiplus::Font* TryCreate(const std::wstring& face, float size, int style) {
    if (face.empty()) return nullptr;
    const Gdiplus::FontFamily* family = FamilyOf(face);
    if (!family) return nullptr;
    auto font = std::make_unique<Gdiplus::Font>(family, size, style, Gdiplus::UnitPixel);
    if (font->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return font.release();
}

Gdiplus::Font* CreateWithFallback(const std::wstring& face, float size, int style) {
    if (Gdiplus::Font* font = TryCreate(face, size, style)) return font;
    // A size of 0 (a spec without a leading number) cannot make a font either;
    // the generic family at that size fails the same way, so give the caller
    // something drawable rather than nothing.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    auto font = std::make_unique<Gdiplus::Font>(generic, size, style, Gdiplus::UnitPixel);
    if (font->GetLastStatus() == Gdiplus::Ok) return font.release();
    return nullptr;
}

}  // namespace

const std::wstring& SystemFontFace() {
    static const std::wstring face = ReadSystemFace();
    return face;
}

Gdiplus::Font* CreateFontForSpec(std::wstring_view spec) {
    const UIFontSpec parsed = ParseFontSpec(spec);
    const std::wstring& face = parsed.family.empty() ? SystemFontFace() : parsed.family;
    return CreateWithFallback(face, static_cast<float>(parsed.size), parsed.style);
}

Gdiplus::Font* DefaultFont() {
    static Gdiplus::Font* const font = CreateWithFallback(SystemFontFace(), 13.0f, 0);
    return font;
}
