#include "ui/controls/UIComboBoxItem.h"

#include "ui/AttributeParse.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIControlRegistry.h"
#include "ui/controls/UIComboBox.h"

UIComboBoxItem::UIComboBoxItem(int index, UIComboBox* owner)
    : index_(index), owner_(owner ? owner->Handle() : 0) {
    SetAttribute(L"clr", L"#ff60656f");
    SetAttribute(L"font", L"14");
    SetAttribute(L"xstart", L"3");
    SetAttribute(L"xend", L"12");
    SetAttribute(L"cursor", L"arrow");
}

UIComboBox* UIComboBoxItem::GetOwner() const {
    return dynamic_cast<UIComboBox*>(UIControlRegistry::Instance().Find(owner_));
}

void UIComboBoxItem::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selclr") {
        selColor_ = ParseColor(value);
    } else if (name == L"hoverclr") {
        hoverColor_ = ParseColor(value);
    } else if (name == L"lineclr") {
        lineColor_ = ParseColor(value);
    } else {
        UIButton::SetAttribute(name, value);
    }
}

uint32_t UIComboBoxItem::FillColor() const {
    uint32_t fill = (index_ % 2 != 0) ? lineColor_ : 0;
    if (GetState() & kStateHover) fill = hoverColor_;
    const UIComboBox* owner = GetOwner();
    if (owner && owner->GetSelection() == index_) fill = selColor_;
    return fill;
}

void UIComboBoxItem::Paint(Gdiplus::Graphics& graphics) {
    if (const uint32_t fill = FillColor()) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
        graphics.FillRectangle(&brush, 0, 0, Width(), Height());
    }
    UIButton::Paint(graphics);
}
