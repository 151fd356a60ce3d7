#include "ui/controls/UICheckBox.h"

#include <algorithm>
#include <cstring>

#include "ui/AttributeParse.h"
#include "ui/StateIndex.h"

void UICheckBox::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"xlabel") {
        xlabel_ = ParseInt(value);
    } else if (name == L"ylabel") {
        ylabel_ = ParseInt(value);
    } else if (name == L"ckimg") {
        checkedImages_.LoadStrip(value, false);
    } else if (name == L"unckimg") {
        uncheckedImages_.LoadStrip(value, false);
    } else if (name == L"rcbox") {
        UIPosValue p;
        if (ParseRect(value, p)) box_ = MakeRect(p.x, p.y, p.w, p.h);
    } else if (name == L"check") {
        checked_ = ParseBool(value);
    }
    UIButton::SetAttribute(name, value);
}

void UICheckBox::PaintBox(Gdiplus::Graphics& graphics) {
    const int index = GetStateIndex(this);
    UIRender* box = checked_ ? checkedImages_.Get(index) : uncheckedImages_.Get(index);
    if (!box) return;
    // The box is always centred vertically; its own top is not used.
    const long long boxHeight = static_cast<long long>(box_.bottom) - box_.top;
    const int top = ClampToInt(Height() / 2 - boxHeight / 2);
    box->SetDstRect(RECT{box_.left, top, box_.right, ClampToInt(top + boxHeight)});
    box->Draw(this, graphics);
}

void UICheckBox::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    PaintBox(graphics);
    // The text always sits left-aligned and centred beside the box.
    UIRenderText* text = GetTextRender();
    text->SetAttribute(L"horz", L"0");
    text->SetAttribute(L"vert", L"1");
    DrawLabelText(graphics);
}

void UICheckBox::GetTextRect(RECT& rc) {
    rc = RECT{xlabel_, ylabel_, Width(), Height()};
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
}

void UICheckBox::OnClick() {
    const char* cls = GetClassName();
    if (std::strcmp(cls, "UICheckBox") == 0) {
        checked_ = !checked_;
    } else if (std::strcmp(cls, "UIRadioBox") == 0) {
        if (checked_) return;  // a click cannot uncheck a radio box
        checked_ = true;
    } else {
        return;
    }
    OnCheckChanged();
    Notify("checkchanged", 0, checked_ ? 1 : 0);
    Invalidate(nullptr);
}

void UICheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    OnCheckChanged();
    Invalidate(nullptr);
}
