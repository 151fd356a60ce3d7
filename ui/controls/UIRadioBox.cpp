#include "ui/controls/UIRadioBox.h"

#include <cstring>
#include <vector>

void UIRadioBox::SetAttribute(const std::wstring& name, const std::wstring& value) {
    // The radio group is not the button's page group: it stops here.
    if (name == L"group") {
        group_ = value;
        return;
    }
    UICheckBox::SetAttribute(name, value);
}

void UIRadioBox::OnCheckChanged() {
    if (!IsChecked() || group_.empty() || !GetParent()) return;
    // Only siblings are affected: radio boxes in other containers keep their
    // value even under the same group name.
    std::vector<UIRefPtr<UIControl>> siblings;
    for (UIControl* c : GetParent()->Children()) siblings.emplace_back(c);
    for (const auto& sibling : siblings) {
        if (sibling.get() == this) continue;
        if (std::strcmp(sibling->GetClassName(), "UIRadioBox") != 0) continue;
        UIRadioBox* other = dynamic_cast<UIRadioBox*>(sibling.get());
        if (!other || other->group_ != group_ || !other->IsChecked()) continue;
        other->SetCheckedValue(false);
        other->OnCheckChanged();
        other->Invalidate(nullptr);
    }
}
