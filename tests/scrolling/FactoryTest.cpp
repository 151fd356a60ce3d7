// The scrolling controls are made by their layout tags.
#include <gtest/gtest.h>

#include "ScrollingTestSupport.h"
#include "ui/ControlFactory.h"

namespace {

TEST(ScrollingFactory, EveryTagMakesItsClass) {
    RegisterControlFactory();
    for (const char* tag :
         {"UIProgress", "UISlider", "UIScrollBar", "UIScrollVertView", "UIScrollView"}) {
        const std::wstring wide(tag, tag + strlen(tag));
        UIControlCreator create = FindControlCreator(wide);
        ASSERT_NE(create, nullptr) << tag;
        UIRefPtr<UIControl> c = UIRefPtr<UIControl>::Adopt(create());
        EXPECT_STREQ(c->GetClassName(), tag);
    }
}

}  // namespace
