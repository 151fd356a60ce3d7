// Layouts reach the controls of this folder by their tag names.
#include <gtest/gtest.h>

#include <cstring>

#include "MoreControlsTestSupport.h"
#include "ui/ControlFactory.h"

namespace {

TEST(MoreControlsFactoryTest, TagsMakeTheirClasses) {
    RegisterControlFactory();
    for (const char* tag : {"UIComboBox", "UIGif", "UIHotKey", "UICaption", "UIImage"}) {
        UIControlCreator create = FindControlCreator(Wide(tag));
        ASSERT_NE(create, nullptr) << tag;
        UIRefPtr<UIControl> c = UIRefPtr<UIControl>::Adopt(create());
        EXPECT_STREQ(c->GetClassName(), tag);
    }
}

}  // namespace
