#include "ui/ControlFactory.h"

#include <map>

#include "ui/HLayoutCtrl.h"
#include "ui/LayoutTags.h"
#include "ui/UIControl.h"
#include "ui/VLayoutCtrl.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UICaption.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIEdit.h"
#include "ui/controls/UIEditCtrl.h"
#include "ui/controls/UIGif.h"
#include "ui/controls/UIHotKey.h"
#include "ui/controls/UIImage.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UILink.h"
#include "ui/controls/UINativeEdit.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UIRadioBox.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/controls/UIScrollView.h"
#include "ui/controls/UISlider.h"
#include "ui/controls/UISwitch.h"

namespace {

std::map<std::wstring, UIControlCreator>& Factory() {
    static std::map<std::wstring, UIControlCreator> factory;
    return factory;
}

template <typename T>
UIControl* Create() {
    return new T();
}

// The tags layouts may use, in the order of kLayoutControlTags (the list the
// packer checks layouts against).
struct ControlClass {
    const wchar_t* tag;
    UIControlCreator create;
};
constexpr ControlClass kControlClasses[] = {
    {L"UIWnd", Create<UIControl>},  // the root element of a window
    {L"UIControl", Create<UIControl>},
    {L"HLayoutCtrl", Create<HLayoutCtrl>},
    {L"VLayoutCtrl", Create<VLayoutCtrl>},
    {L"UILabel", Create<UILabel>},
    {L"UIButton", Create<UIButton>},
    {L"UILink", Create<UILink>},
    {L"UICheckBox", Create<UICheckBox>},
    {L"UIRadioBox", Create<UIRadioBox>},
    {L"UISwitch", Create<UISwitch>},
    {L"UIProgress", Create<UIProgress>},
    {L"UISlider", Create<UISlider>},
    {L"UIScrollBar", Create<UIScrollBar>},
    {L"UIScrollVertView", Create<UIScrollVertView>},
    {L"UIScrollView", Create<UIScrollView>},
    {L"UIComboBox", Create<UIComboBox>},
    {L"UIGif", Create<UIGif>},
    {L"UIHotKey", Create<UIHotKey>},
    {L"UICaption", Create<UICaption>},
    {L"UIImage", Create<UIImage>},
    {L"UIEditCtrl", Create<UIEditCtrl>},
    {L"UINativeEdit", Create<UINativeEdit>},
    {L"UIEdit", Create<UIEdit>},
};

constexpr bool TagsMatchLayoutTags() {
    constexpr size_t count = sizeof(kControlClasses) / sizeof(kControlClasses[0]);
    if (count != kLayoutControlTagCount) return false;
    for (size_t i = 0; i < count; ++i)
        if (!SameLayoutTag(kControlClasses[i].tag, kLayoutControlTags[i])) return false;
    return true;
}
static_assert(TagsMatchLayoutTags(),
              "a control class was added or renamed here but not in ui/LayoutTags.h");

}  // namespace

void RegisterControlFactory() {
    auto& factory = Factory();
    if (!factory.empty()) return;
    for (const auto& c : kControlClasses) factory.emplace(c.tag, c.create);
}

void RegisterControlClass(const std::wstring& tag, UIControlCreator create) {
    RegisterControlFactory();
    Factory()[tag] = create;
}

UIControlCreator FindControlCreator(const std::wstring& tag) {
    auto& factory = Factory();
    auto it = factory.find(tag);
    return it == factory.end() ? nullptr : it->second;
}
