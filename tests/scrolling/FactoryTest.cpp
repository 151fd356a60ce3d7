// The scrolling controls are made by their layout tags, from code and from
// layout documents.
#include <gtest/gtest.h>

#include "ScrollingTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/UIDocBuilder.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"

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

TEST(ScrollingFactory, LayoutDocumentBuildsTheControls) {
    RegisterControlFactory();
    TestSkin skin({{u"img\\prob.bmp", MakeBmp(30, 10, [](int, int) { return kBlue; })},
                   {u"xml\\page.xml", Bytes(R"(<?xml version="1.0" encoding="utf-8"?>
<UIWnd width="650" height="450">
  <UIProgress id="setupprog" pos="20,300,610,10" prob="img\prob.bmp" value="37"/>
  <UISlider id="volume" pos="20,330,200,20"/>
  <UIScrollVertView id="list" pos="20,20,200,100" hscrollwidth="6">
    <UIControl id="header" pos="0,0,10,24"/>
  </UIScrollVertView>
  <UIScrollView id="area" pos="300,20,100,100"/>
</UIWnd>)")}});
    FakeHost host;
    UIDocBuilder builder{&host};
    UIRefPtr<UIControl> root =
        UIRefPtr<UIControl>::Adopt(LoadLayout(builder, nullptr, L"xml\\page.xml"));
    ASSERT_TRUE(root);
    auto* progress = static_cast<UIProgress*>(root->FindById(L"setupprog"));
    ASSERT_NE(progress, nullptr);
    EXPECT_STREQ(progress->GetClassName(), "UIProgress");
    EXPECT_EQ(progress->FillWidth(), 225);
    EXPECT_STREQ(root->FindById(L"volume")->GetClassName(), "UISlider");
    EXPECT_STREQ(root->FindById(L"area")->GetClassName(), "UIScrollView");

    auto* list = static_cast<UIScrollVertView*>(root->FindById(L"list"));
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->GetClassName(), "UIScrollVertView");
    EXPECT_EQ(list->GetBarWidth(), 6);
    list->Layout();
    // A document's children of the view sit beside the clip and the bar.
    UIControl* header = list->FindById(L"header");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetParent(), list);
    EXPECT_EQ(PosText(header), "1,1,198,24");
    EXPECT_EQ(PosText(list->GetClip()), "1,25,198,73");

    // A progress report as the script sends it.
    Canvas canvas(610, 10);
    progress->SetAttribute(L"value", L"101");
    progress->Paint(canvas.G());
    EXPECT_EQ(canvas.At(609, 5), 0xFF2BA245u);
}

}  // namespace
