#pragma once
// The tag names a layout may use, shared by the control factory (which makes
// a control for each) and the packer's skin check (which warns about any
// other), so the two cannot disagree. Kept free of Windows headers: the
// packer is also built for Linux.
#include <cstddef>

// Every control class a layout can name, in the factory's table order.
inline constexpr const wchar_t* kLayoutControlTags[] = {
    L"UIWnd",  // the root element of a window
    L"UIControl",    L"HLayoutCtrl", L"VLayoutCtrl",      L"UILabel",      L"UIButton",
    L"UILink",       L"UICheckBox",  L"UIRadioBox",       L"UISwitch",     L"UIProgress",
    L"UISlider",     L"UIScrollBar", L"UIScrollVertView", L"UIScrollView", L"UIComboBox",
    L"UIGif",        L"UIHotKey",    L"UICaption",        L"UIImage",      L"UIEditCtrl",
    L"UINativeEdit", L"UIEdit",
};
inline constexpr size_t kLayoutControlTagCount =
    sizeof(kLayoutControlTags) / sizeof(kLayoutControlTags[0]);

// The element that includes another layout in its place ("file" names it).
inline constexpr const wchar_t kLayoutIncludeTag[] = L"node";
inline constexpr const wchar_t kLayoutIncludeFileAttribute[] = L"file";

// Equal wide texts, usable in constant expressions.
constexpr bool SameLayoutTag(const wchar_t* a, const wchar_t* b) {
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}
