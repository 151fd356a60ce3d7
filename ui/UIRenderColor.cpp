#include "ui/UIRenderColor.h"

#include "ui/AttributeParse.h"
#include "ui/ShapeDraw.h"
#include "ui/StateIndex.h"
#include "ui/UIControl.h"

unsigned UIRenderColor::StatesOf(const std::wstring& name, const wchar_t* prefix) {
    const std::wstring_view base(prefix);
    if (name.compare(0, base.size(), base) != 0) return 0;
    const std::wstring_view suffix = std::wstring_view(name).substr(base.size());
    if (suffix.empty()) return 0xF;
    // Each state has a letter and a digit form, except normal: "clrn" only.
    static const wchar_t* const kSuffixes[4][2] = {
        {L"n", nullptr}, {L"h", L"1"}, {L"p", L"2"}, {L"d", L"3"}};
    for (unsigned s = 0; s < 4; ++s) {
        for (const wchar_t* form : kSuffixes[s]) {
            if (form && suffix == form) return 1u << s;
        }
    }
    return 0;
}

void UIRenderColor::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"round") {
        radius_ = ParseInt(value);
        return;
    }
    uint32_t* targets = fill_;
    unsigned states = StatesOf(name, L"clr");
    if (!states) {
        targets = border_;
        states = StatesOf(name, L"border");
    }
    if (!states) return;
    const uint32_t color = ParseColor(value);
    for (unsigned s = 0; s < 4; ++s) {
        if (states & (1u << s)) targets[s] = color;
    }
}

void UIRenderColor::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
    if (!control) return;
    const int s = GetStateIndex(control);
    const int w = control->Width(), h = control->Height();
    if (radius_ != 0) {
        FillRoundRect(graphics, fill_[s], 0, 0, w, h, radius_);
        if (border_[s]) OutlineRoundRect(graphics, border_[s], 0, 0, w - 1, h - 1, radius_);
    } else {
        FillSolidRect(graphics, fill_[s], 0, 0, w, h);
        if (border_[s]) OutlineRect(graphics, border_[s], 0, 0, w - 1, h - 1);
    }
}
