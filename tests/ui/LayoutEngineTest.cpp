// The layout strategies ("horz", "vert", "hzvt") and the two layout
// controls, on the arrangements the skin layouts rely on.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/HLayoutCtrl.h"
#include "ui/UIHLayout.h"
#include "ui/UILayout.h"
#include "ui/VLayoutCtrl.h"

namespace {

using Ref = UIRefPtr<UIControl>;

struct Expect {
    UIControl* control;
    const char* pos;
};

void ExpectPositions(const std::vector<Expect>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(PosText(expected[i].control), expected[i].pos) << "child " << i;
    }
}

TEST(CreateLayout, NamesAndOptions) {
    const struct {
        const wchar_t* value;
        bool made;
        int h, v;
    } cases[] = {
        {L"horz", true, 0, -1},
        {L"vert", true, -1, 0},
        {L"hzvt", true, 0, 0},
        {L"horz:h=3|v=4", true, 3, 4},
        {L"vert,v=9|x=1|h", true, -1, 9},
        {L"horzontal", true, 0, -1},
        {L"HORZ", false, 0, 0},
        {L"hor", false, 0, 0},
        {L"", false, 0, 0},
        {L"fill", false, 0, 0},
    };
    for (const auto& c : cases) {
        UIRefPtr<UILayout> layout = UIRefPtr<UILayout>::Adopt(CreateLayout(c.value));
        EXPECT_EQ(static_cast<bool>(layout), c.made) << c.value;
        if (!layout) continue;
        EXPECT_EQ(layout->OptionH(), c.h) << c.value;
        EXPECT_EQ(layout->OptionV(), c.v) << c.value;
    }
}

TEST(StackLayout, VerticalRootWithHiddenPagesAndFloatTitle) {
    Ref root = Ref::Adopt(MakeControl(
        nullptr,
        {{L"width", L"650"}, {L"height", L"450"}, {L"layout", L"vert"}, {L"hit", L"false"}}));
    UIControl* page1 = MakeControl(root.get(), {{L"adj", L"1"}});
    UIControl* page2 =
        MakeControl(root.get(), {{L"adj", L"1"}, {L"visible", L"false"}, {L"pos", L"1,2,3,4"}});
    UIControl* page3 = MakeControl(root.get(), {{L"adj", L"1"}, {L"visible", L"false"}});
    UIControl* title = MakeControl(root.get(), {{L"float", L"1"}, {L"pos", L"0,0,650,40"}});
    root->Layout();
    ExpectPositions(
        {{page1, "0,0,650,450"}, {page2, "1,2,3,4"}, {page3, "0,0,0,0"}, {title, "0,0,650,40"}});
}

TEST(StackLayout, HorizontalBarWithPadding) {
    Ref bar = Ref::Adopt(MakeControl(
        nullptr, {{L"pos", L"0,0,650,40"}, {L"padding", L"1,10,10,1"}, {L"layout", L"horz"}}));
    UIControl* spacer = MakeControl(bar.get(), {{L"adj", L"1"}});
    UIControl* button = MakeControl(bar.get(), {{L"pos", L"0,0,20,20"}});
    bar->Layout();
    ExpectPositions({{spacer, "1,10,619,29"}, {button, "620,10,20,20"}});
}

TEST(StackLayout, SharesDropTheRemainder) {
    Ref parent = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,30"}, {L"layout", L"horz"}}));
    UIControl* a = MakeControl(parent.get(), {{L"adj", L"1"}});
    UIControl* b = MakeControl(parent.get(), {{L"adj", L"yes"}});
    UIControl* c = MakeControl(parent.get(), {{L"adj", L"true"}});
    parent->Layout();
    ExpectPositions({{a, "0,0,33,30"}, {b, "33,0,33,30"}, {c, "66,0,33,30"}});
    EXPECT_EQ(c->GetPos().right, 99);
}

TEST(StackLayout, OverflowGivesAdjNothing) {
    Ref parent = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,30"}, {L"layout", L"horz"}}));
    UIControl* a = MakeControl(parent.get(), {{L"pos", L"0,0,80,10"}});
    UIControl* adj = MakeControl(parent.get(), {{L"adj", L"1"}});
    UIControl* b = MakeControl(parent.get(), {{L"pos", L"0,0,70,30"}});
    parent->Layout();
    ExpectPositions({{a, "0,0,80,10"}, {adj, "80,0,0,30"}, {b, "80,0,70,30"}});
}

TEST(StackLayout, HugeSizesStayInRange) {
    Ref parent = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,30"}, {L"layout", L"horz"}}));
    UIControl* a = MakeControl(parent.get(), {{L"pos", L"0,0,2000000000,10"}});
    UIControl* b = MakeControl(parent.get(), {{L"pos", L"0,0,2000000000,10"}});
    UIControl* c = MakeControl(parent.get(), {{L"pos", L"0,0,5,10"}});
    parent->Layout();
    ExpectPositions(
        {{a, "0,0,2000000000,10"}, {b, "2000000000,0,147483647,10"}, {c, "2147483647,0,0,10"}});
}

TEST(StackLayout, VerticalStretchesToClientWidth) {
    Ref parent = Ref::Adopt(MakeControl(
        nullptr, {{L"pos", L"0,0,300,200"}, {L"padding", L"5,5,5,5"}, {L"layout", L"vert"}}));
    UIControl* fixed = MakeControl(parent.get(), {{L"width", L"100"}, {L"height", L"30"}});
    UIControl* adj1 = MakeControl(parent.get(), {{L"adj", L"1"}});
    UIControl* adj2 = MakeControl(parent.get(), {{L"adj", L"1"}});
    UIControl* hidden = MakeControl(parent.get(), {{L"pos", L"0,0,9,9"}, {L"visible", L"0"}});
    parent->Layout();
    ExpectPositions({{fixed, "5,5,290,30"},
                     {adj1, "5,35,290,80"},
                     {adj2, "5,115,290,80"},
                     {hidden, "0,0,9,9"}});
}

TEST(StackLayout, FillStretchesEveryNonFloatingChild) {
    Ref parent = Ref::Adopt(MakeControl(
        nullptr, {{L"pos", L"0,0,120,60"}, {L"padding", L"2,3,4,5"}, {L"layout", L"hzvt"}}));
    UIControl* shown = MakeControl(parent.get(), {{L"pos", L"1,1,1,1"}});
    UIControl* hidden = MakeControl(parent.get(), {{L"visible", L"false"}});
    UIControl* floating = MakeControl(parent.get(), {{L"float", L"1"}, {L"pos", L"7,7,7,7"}});
    parent->Layout();
    ExpectPositions({{shown, "2,3,114,52"}, {hidden, "2,3,114,52"}, {floating, "7,7,7,7"}});
}

TEST(StackLayout, ChildrenLayOutTheirOwnChildrenWhenResized) {
    Ref root = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,400,300"}, {L"layout", L"vert"}}));
    UIControl* page = MakeControl(root.get(), {{L"adj", L"1"}, {L"layout", L"horz"}});
    UIControl* left = MakeControl(page, {{L"adj", L"1"}});
    UIControl* right = MakeControl(page, {{L"pos", L"0,0,100,10"}});
    root->Layout();
    ExpectPositions({{page, "0,0,400,300"}, {left, "0,0,300,300"}, {right, "300,0,100,10"}});
}

// A child that, when resized, asks its parent to lay out again.
class ReentrantChild : public UIControl {
  public:
    void Layout() override {
        ++layouts;
        if (GetParent() && layouts < 50) GetParent()->Layout();
        UIControl::Layout();
    }
    int layouts = 0;
};

TEST(StackLayout, ReentrantArrangeReturnsAtOnce) {
    for (const wchar_t* kind : {L"horz", L"vert"}) {
        Ref parent =
            Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,100"}, {L"layout", kind}}));
        auto* child = MakeControl<ReentrantChild>(parent.get(), {{L"adj", L"1"}});
        UIControl* other = MakeControl(parent.get(), {{L"adj", L"1"}});
        parent->Layout();
        EXPECT_EQ(child->layouts, 1) << kind;
        EXPECT_EQ(PosText(other), std::wstring(kind) == L"horz" ? "50,0,50,100" : "0,50,100,50");
    }
}

TEST(StackLayout, ReplacingLayoutDuringArrangeIsSafe) {
    class Replacer : public UIControl {
      public:
        void Layout() override {
            if (GetParent()) GetParent()->SetAttribute(L"layout", L"vert");
            UIControl::Layout();
        }
    };
    Ref parent = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,100"}, {L"layout", L"horz"}}));
    MakeControl<Replacer>(parent.get(), {{L"adj", L"1"}});
    UIControl* second = MakeControl(parent.get(), {{L"adj", L"1"}});
    parent->Layout();  // the old strategy finishes its pass
    EXPECT_EQ(PosText(second), "50,0,50,100");
}

// ---- Layout controls --------------------------------------------------------

TEST(HLayoutCtrlTest, Alignments) {
    const struct {
        const wchar_t* halign;
        const wchar_t* space;
        const wchar_t* xstart;
        const char* a;
        const char* adj;
        const char* b;
    } cases[] = {
        // W 200, H 40; a 30x10, adj 10x20 ("adj" any text), b 40x30.
        // fixed = (space + 30) + (space + 40); share = (xstart + space + 200 - fixed) / 1
        {L"0", L"0", L"0", "0,15,30,10", "30,10,10,20", "160,5,40,30"},
        {L"0", L"5", L"10", "10,15,30,10", "45,10,10,20", "180,5,40,30"},
        {L"2", L"0", L"0", "0,15,30,10", "30,10,10,20", "160,5,40,30"},
        {L"2", L"5", L"10", "-20,15,30,10", "10,10,10,20", "150,5,40,30"},
        {L"1", L"5", L"10", "1,1,30,10", "2,2,10,20", "3,3,40,30"},  // untouched
    };
    for (const auto& c : cases) {
        Ref row = Ref::Adopt(MakeControl<HLayoutCtrl>(nullptr, {{L"pos", L"0,0,200,40"},
                                                                {L"halign", c.halign},
                                                                {L"space", c.space},
                                                                {L"xstart", c.xstart}}));
        UIControl* a = MakeControl(row.get(), {{L"pos", L"1,1,30,10"}});
        UIControl* adj = MakeControl(row.get(), {{L"pos", L"2,2,10,20"}, {L"adj", L"0"}});
        UIControl* b = MakeControl(row.get(), {{L"pos", L"3,3,40,30"}});
        row->SendMessage(WM_CREATE, 0, 0);  // layout controls arrange on creation
        EXPECT_EQ(PosText(a), c.a) << c.halign << " " << c.space;
        EXPECT_EQ(PosText(adj), c.adj) << c.halign << " " << c.space;
        EXPECT_EQ(PosText(b), c.b) << c.halign << " " << c.space;
        EXPECT_EQ(row->GetAttribute(L"halign"), c.halign);  // recorded too
    }
}

TEST(HLayoutCtrlTest, HiddenChildrenAndNegativeShare) {
    Ref row = Ref::Adopt(MakeControl<HLayoutCtrl>(nullptr, {{L"pos", L"0,0,50,20"}}));
    UIControl* big = MakeControl(row.get(), {{L"pos", L"0,0,80,20"}});
    UIControl* adj = MakeControl(row.get(), {{L"pos", L"0,0,4,4"}, {L"adj", L"false"}});
    UIControl* after = MakeControl(row.get(), {{L"pos", L"0,0,6,6"}});
    UIControl* hidden = MakeControl(row.get(), {{L"pos", L"9,9,9,9"}, {L"visible", L"0"}});
    row->Layout();
    // share = (0 + 0 + 50 - 86) / 1 < 0 -> 0
    ExpectPositions(
        {{big, "0,0,80,20"}, {adj, "80,8,4,4"}, {after, "80,7,6,6"}, {hidden, "9,9,9,9"}});
}

TEST(VLayoutCtrlTest, Alignments) {
    const struct {
        const wchar_t* halign;  // null: the default (centred)
        const char* a;
        const char* adj;
        const char* b;
    } cases[] = {
        // W 100, H 200; a 30x10, adj 20x20, b 40x30, space 5: fixed 50, share 150
        {nullptr, "35,0,30,10", "40,15,20,20", "30,165,40,30"},
        {L"0", "0,0,30,10", "0,15,20,20", "0,165,40,30"},
        {L"2", "70,0,30,10", "80,15,20,20", "60,165,40,30"},
        {L"7", "70,0,30,10", "80,15,20,20", "60,165,40,30"},
    };
    for (const auto& c : cases) {
        Ref col = Ref::Adopt(MakeControl<VLayoutCtrl>(
            nullptr, {{L"pos", L"0,0,100,200"}, {L"space", L"5"}, {L"valign", L"2"}}));
        if (c.halign) col->SetAttribute(L"halign", c.halign);
        UIControl* a = MakeControl(col.get(), {{L"pos", L"1,1,30,10"}});
        UIControl* adj = MakeControl(col.get(), {{L"pos", L"2,2,20,20"}, {L"adj", L"1"}});
        UIControl* b = MakeControl(col.get(), {{L"pos", L"3,3,40,30"}});
        col->SendMessage(WM_CREATE, 0, 0);
        EXPECT_EQ(PosText(a), c.a);
        EXPECT_EQ(PosText(adj), c.adj);
        EXPECT_EQ(PosText(b), c.b);
        EXPECT_EQ(col->GetAttribute(L"valign"), L"2");
    }
}

}  // namespace
