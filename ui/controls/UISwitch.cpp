#include "ui/controls/UISwitch.h"

namespace {

// The on-state render index an attribute such as "bkh2" sets, or -1.
int OnSpecIndex(const std::wstring& name) {
    static const wchar_t* const kNames[] = {L"bkn2", L"bkh2", L"bkp2", L"bkd2"};
    for (int i = 0; i < 4; ++i) {
        if (name == kNames[i]) return i;
    }
    return -1;
}

}  // namespace

void UISwitch::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"btn2") {
        onImages_.LoadStrip(value, false);
    } else if (int index = OnSpecIndex(name); index >= 0) {
        onImages_.SetSpec(index, value);
    }
    UIButton::SetAttribute(name, value);
}

UIRender* UISwitch::GetStateRender(int index) {
    return on_ ? onImages_.GetOrNormal(index) : UIButton::GetStateRender(index);
}

void UISwitch::OnClick() {
    // No page switching: a switch is never a tab.
    on_ = !on_;
    Invalidate(nullptr);
    Notify("checkchanged", 0, on_ ? 1 : 0);
    Notify("click", 0, 0);
    Invalidate(nullptr);
}
