// Attribute values of the base control: booleans, integers, "pos",
// "padding", "width"/"height" = "parent", "cursor", and the attribute map.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/AttributeParse.h"
#include "ui/UIStyleTable.h"

namespace {

TEST(AttributeParse, Booleans) {
    const struct {
        const wchar_t* value;
        bool expected;
    } cases[] = {
        {L"true", true},  {L"TRUE", true},   {L"1", true},   {L"yes", true},
        {L"True", false}, {L"false", false}, {L"0", false},  {L"", false},
        {L"2", false},    {L"YES", false},   {L" 1", false}, {L"true ", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseBool(c.value), c.expected) << c.value;
}

TEST(AttributeParse, Integers) {
    const struct {
        const wchar_t* value;
        int expected;
    } cases[] = {
        {L"42", 42},
        {L"-7", -7},
        {L"+5", 5},
        {L"12px", 12},
        {L"abc", 0},
        {L"", 0},
        {L"-", 0},
        {L" 9", 9},
        {L"0x10", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
        {L"3.9", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInt(c.value), c.expected) << c.value;
}

TEST(AttributeParse, BodyItems) {
    std::vector<std::pair<std::wstring, std::wstring>> got;
    ForEachSpecItem(L"a=1||b=2=3|c|d=|e=5|",
                    [&](const std::wstring& k, const std::wstring& v) { got.emplace_back(k, v); });
    std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"a", L"1"}, {L"d", L""}, {L"e", L"5"}};
    EXPECT_EQ(got, expected);
}

TEST(ControlAttributes, PosForms) {
    const struct {
        const wchar_t* value;
        const char* expected;  // x,y,w,h
    } cases[] = {
        {L"10,20,30,40", "10,20,30,40"},
        {L" 10 , 20,\t30 ,40 ", "10,20,30,40"},
        {L"10,20,30", "0,0,0,0"},
        {L"10,20,30,40,50", "0,0,0,0"},
        {L"a,b,5,6", "0,0,5,6"},
        {L"-5,-6,7,8", "-5,-6,7,8"},
        {L"", "0,0,0,0"},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIControl> ctl =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"pos", L"1,1,1,1"}}));
        ctl->SetAttribute(L"pos", c.value);
        EXPECT_EQ(PosText(ctl.get()), c.expected) << c.value;
    }
    // pos (10,20,40,60) as left, top, right, bottom
    UIRefPtr<UIControl> ctl =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"pos", L"10,20,30,40"}}));
    EXPECT_EQ(ctl->GetPos().right, 40);
    EXPECT_EQ(ctl->GetPos().bottom, 60);
}

TEST(ControlAttributes, PaddingForms) {
    const struct {
        const wchar_t* value;
        RECT expected;
    } cases[] = {
        {L"1,10", {1, 10, 0, 0}},     {L"1,2,3,4", {1, 2, 3, 4}}, {L" 5 ", {5, 0, 0, 0}},
        {L"1,2,3,4,5", {1, 2, 3, 4}}, {L"x,2", {0, 2, 0, 0}},     {L"", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIControl> ctl =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"padding", L"9,9,9,9"}}));
        ctl->SetAttribute(L"padding", c.value);
        RECT p;
        ctl->GetPadding(p);
        EXPECT_TRUE(EqualRect(&p, &c.expected)) << c.value;
    }
}

TEST(ControlAttributes, ClientRectIsShrunkByPadding) {
    UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(
        MakeControl(nullptr, {{L"pos", L"5,5,100,50"}, {L"padding", L"1,2,3,4"}}));
    RECT c;
    ctl->GetClientRect(c);
    RECT expected = {1, 2, 97, 46};
    EXPECT_TRUE(EqualRect(&c, &expected));
}

TEST(ControlAttributes, WidthAndHeightParent) {
    UIRefPtr<UIControl> root = UIRefPtr<UIControl>::Adopt(
        MakeControl(nullptr, {{L"pos", L"0,0,200,100"}, {L"padding", L"10,10,10,10"}}));
    const struct {
        Attrs attrs;
        const char* pos;
        SIZE desired;
    } cases[] = {
        // the parent's full width now, its client width when a layout asks
        {{{L"pos", L"5,6,1,1"}, {L"width", L"parent"}}, "5,6,200,1", {180, 1}},
        {{{L"pos", L"5,6,1,1"}, {L"height", L"parent"}}, "5,6,1,100", {1, 80}},
        {{{L"pos", L"parent"}}, "0,0,200,100", {180, 80}},
        {{{L"pos", L"5,6,1,1"}, {L"width", L"30"}, {L"height", L"x"}}, "5,6,30,0", {30, 0}},
        {{{L"pos", L"5,6,1,1"}, {L"adj", L"1"}, {L"width", L"parent"}}, "5,6,200,1", {0, 0}},
    };
    for (const auto& c : cases) {
        UIControl* child = MakeControl(root.get(), c.attrs);
        EXPECT_EQ(PosText(child), c.pos);
        SIZE s;
        child->GetDesiredSize(s);
        EXPECT_EQ(s.cx, c.desired.cx) << c.pos;
        EXPECT_EQ(s.cy, c.desired.cy) << c.pos;
    }
}

TEST(ControlAttributes, WidthParentOfEmptyParentIsHonouredLater) {
    UIRefPtr<UIControl> root = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
    UIControl* child = MakeControl(root.get(), {{L"width", L"parent"}, {L"height", L"20"}});
    EXPECT_EQ(child->Width(), 0);
    EXPECT_TRUE(child->HasStyleB(UIControl::kStyleWidthParent));
    root->SetAttribute(L"layout", L"vert");
    root->Move(0, 0, 300, 100);
    EXPECT_EQ(PosText(child), "0,0,300,20");
}

TEST(ControlAttributes, Cursors) {
    const struct {
        const wchar_t* value;
        uint32_t expected;
    } cases[] = {
        {L"hand", 32649}, {L"cross", 32515}, {L"wait", 32514},
        {L"Hand", 32512}, {L"", 32512},      {L"ibeam", 32512},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIControl> ctl =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"cursor", L"wait"}}));
        ctl->SetAttribute(L"cursor", c.value);
        EXPECT_EQ(ctl->GetCursor(), c.expected) << c.value;
    }
}

TEST(ControlAttributes, BooleanFlags) {
    const struct {
        const wchar_t* name;
        bool styleA;
        uint8_t bit;
    } cases[] = {
        {L"adj", false, UIControl::kStyleAdj},
        {L"container", false, UIControl::kStyleContainer},
        {L"track", false, UIControl::kStyleTrack},
        {L"float", true, UIControl::kStyleFloat},
        {L"select", true, UIControl::kStyleSelect},
        {L"visible", true, UIControl::kStyleVisible},
        {L"enable", true, UIControl::kStyleEnable},
        {L"hit", true, UIControl::kStyleHit},
    };
    const struct {
        const wchar_t* value;
        bool on;
    } values[] = {{L"1", true},     {L"yes", true},  {L"2", false},
                  {L"True", false}, {L"true", true}, {L"0", false}};
    for (const auto& c : cases) {
        for (const auto& v : values) {
            UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
            ctl->SetAttribute(c.name, v.on ? L"0" : L"1");  // start from the opposite
            ctl->SetAttribute(c.name, v.value);
            bool set = c.styleA ? ctl->HasStyleA(c.bit) : ctl->HasStyleB(c.bit);
            EXPECT_EQ(set, v.on) << c.name << "=" << v.value;
        }
    }
}

TEST(ControlAttributes, NewControlDefaults) {
    UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(new UIControl());
    EXPECT_EQ(ctl->StyleA(), 0x1C);
    EXPECT_EQ(ctl->StyleB(), 0x04);
    EXPECT_EQ(ctl->GetState(), 0u);
    EXPECT_EQ(ctl->GetCursor(), 32512u);
    EXPECT_EQ(ctl->RefCount(), 1);
    EXPECT_STREQ(ctl->GetClassName(), "UIControl");
    EXPECT_EQ(PosText(ctl.get()), "0,0,0,0");
    EXPECT_EQ(ctl->GetLayout(), nullptr);
    EXPECT_EQ(ctl->GetBack(), nullptr);
}

TEST(ControlAttributes, AttributeMapKeepsLastValue) {
    UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(
        MakeControl(nullptr, {{L"id", L"a"}, {L"custom", L"1"}, {L"custom", L"2"}, {L"id", L"b"}}));
    EXPECT_EQ(ctl->GetAttribute(L"custom"), L"2");
    EXPECT_EQ(ctl->GetAttribute(L"id"), L"b");
    EXPECT_EQ(ctl->GetId(), L"b");
    EXPECT_EQ(ctl->GetAttribute(L"never"), L"");
    EXPECT_EQ(ctl->GetAttribute(L"ID"), L"");  // names are case-sensitive
}

TEST(ControlAttributes, TextIdTipsRgn) {
    UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(MakeControl(
        nullptr, {{L"txt", L"安装"}, {L"tips", L"hint"}, {L"rgn", L"6"}, {L"Txt", L"x"}}));
    EXPECT_EQ(ctl->GetText(), L"安装");
    EXPECT_EQ(ctl->GetTips(), L"hint");
    EXPECT_EQ(ctl->GetRgn(), 6);
}

TEST(ControlAttributes, LayoutAndBackValues) {
    UIRefPtr<UIControl> ctl =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"layout", L"horz"}}));
    EXPECT_NE(ctl->GetLayout(), nullptr);
    ctl->SetAttribute(L"layout", L"diagonal");
    EXPECT_EQ(ctl->GetLayout(), nullptr);
    ctl->SetAttribute(L"back", L"bogus:x=1");
    EXPECT_EQ(ctl->GetBack(), nullptr);
}

TEST(ControlAttributes, StyleTableApplied) {
    UIStyleTable::Instance().Add(L"bar", L"pos", L"1,2,3,4");
    UIStyleTable::Instance().Add(L"bar", L"id", L"styled");
    UIStyleTable::Instance().Add(L"loop", L"css", L"loop");  // must not recurse forever
    UIRefPtr<UIControl> ctl = UIRefPtr<UIControl>::Adopt(
        MakeControl(nullptr, {{L"css", L"bar"}, {L"css", L"loop"}, {L"css", L"none"}}));
    UIStyleTable::Instance().Clear();
    EXPECT_EQ(PosText(ctl.get()), "1,2,3,4");
    EXPECT_EQ(ctl->GetId(), L"styled");
    EXPECT_EQ(ctl->GetAttribute(L"css"), L"none");
}

}  // namespace
