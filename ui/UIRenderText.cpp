#include "ui/UIRenderText.h"

#include "ui/AttributeParse.h"
#include "ui/IUIContainer.h"
#include "ui/StateIndex.h"
#include "ui/UIControl.h"
#include "ui/UIFont.h"

namespace {

// "clr0" to "clr3" and "font0" to "font3": the state, or -1 for other keys.
int StateSuffix(const std::wstring& name, std::wstring_view base) {
    if (name.size() != base.size() + 1 || name.compare(0, base.size(), base) != 0) return -1;
    const wchar_t digit = name.back();
    return digit >= L'0' && digit <= L'3' ? digit - L'0' : -1;
}

}  // namespace

Gdiplus::Font* UIRenderText::FontFor(IUIContainer* host, const std::wstring& spec) {
    if (!host) {
        ::OutputDebugStringW(L"GetFont error\r\b");
        return DefaultFont();
    }
    Gdiplus::Font* font = host->GetFont(spec);
    return font ? font : DefaultFont();
}

void UIRenderText::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"clr") {
        const uint32_t color = ParseColor(value);
        for (uint32_t& c : colors_) c = color;
    } else if (name == L"font") {
        for (std::wstring& f : fonts_) f = value;
    } else if (int s = StateSuffix(name, L"clr"); s >= 0) {
        colors_[s] = ParseColor(value);
    } else if (int f = StateSuffix(name, L"font"); f >= 0) {
        fonts_[f] = value;
    } else if (name == L"horz") {
        options_.horz = ParseInt(value);
    } else if (name == L"vert") {
        options_.vert = ParseInt(value);
    } else if (name == L"trim") {
        options_.trimming = ParseBool(value) ? Gdiplus::StringTrimmingEllipsisCharacter : 0;
    } else if (name == L"ntrim") {
        options_.trimming = ParseInt(value);
    } else if (name == L"inset") {
        options_.inset = ParsePadding(value);
    } else if (name == L"multi") {
        options_.singleLine = !ParseBool(value);
    } else if (name == L"keyword") {
        options_.keyword = ParseBool(value);
    } else if (name == L"shadow") {
        options_.shadow = ParseBool(value);
    }
}

void UIRenderText::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
    if (!control) return;
    DrawInRect(control, graphics, RECT{0, 0, control->Width(), control->Height()});
}

void UIRenderText::DrawInRect(UIControl* control, Gdiplus::Graphics& graphics, const RECT& rc) {
    if (!control) return;
    const int s = GetStateIndex(control);
    const std::wstring& spec = fonts_[s].empty() ? fonts_[0] : fonts_[s];
    IUIContainer* host = control->GetHost();
    Gdiplus::Font* font = FontFor(host, spec);
    DrawTextInRect(graphics, rc, control->GetText(), font, colors_[s], options_,
                   [host](const std::wstring& runSpec) { return FontFor(host, runSpec); });
}
