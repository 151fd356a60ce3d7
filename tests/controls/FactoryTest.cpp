// Layouts reach the controls of this folder by their tag names.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "ui/ControlFactory.h"

namespace {

TEST(ControlFactoryTest, TagsMakeTheirClasses) {
    RegisterControlFactory();
    for (const char* tag :
         {"UILabel", "UIButton", "UILink", "UICheckBox", "UIRadioBox", "UISwitch"}) {
        const std::wstring wtag(tag, tag + strlen(tag));
        UIControlCreator create = FindControlCreator(wtag);
        ASSERT_NE(create, nullptr) << tag;
        UIRefPtr<UIControl> c = UIRefPtr<UIControl>::Adopt(create());
        EXPECT_STREQ(c->GetClassName(), tag);
    }
    EXPECT_EQ(FindControlCreator(L"uibutton"), nullptr);  // tags are case-sensitive
}

}  // namespace
