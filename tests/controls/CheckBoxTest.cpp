// Check boxes, radio boxes and switches: box placement and looks, the
// events of clicks, the script's silent setter and the radio group rule.
#include <gtest/gtest.h>

#include <iterator>

#include "ControlsTestSupport.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIRadioBox.h"
#include "ui/controls/UISwitch.h"

namespace {

class CheckBoxLookTest : public ::testing::Test {
  protected:
    TestSkin skin{{{u"img\\box.bmp", HorizontalStrip(80, 20, 20)},
                   {u"img\\ck.bmp", VerticalStrip(80, 20, 5)},  // other colours
                   {u"img\\btn.bmp", HorizontalStrip(680, 45, 170)},
                   {u"img\\btn2.bmp", VerticalStrip(680, 45, 11)}}};
    TestWindow w;
};

// Whether the pixel is painted at all.
bool Inked(Canvas& c, int x, int y) { return (c.At(x, y) >> 24) != 0; }

TEST_F(CheckBoxLookTest, BoxIsCentredVertically) {
    const struct {
        const wchar_t* pos;
        const wchar_t* rcbox;  // null: the default 0,0,20,20
        RECT box;              // where the box lands
    } cases[] = {
        {L"0,0,100,30", nullptr, {0, 5, 20, 25}},
        {L"0,0,100,30", L"0,50,20,20", {0, 5, 20, 25}},  // its own top is not used
        {L"0,0,100,30", L"30,0,10,10", {30, 10, 40, 20}},
        {L"0,0,100,21", nullptr, {0, 0, 20, 20}},
        {L"0,0,100,30", L"1,2,3", {0, 5, 20, 25}},  // three parts: unchanged
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        UICheckBox* cb = w.Add<UICheckBox>({{L"pos", cases[i].pos}, {L"unckimg", L"img\\box.bmp"}});
        if (cases[i].rcbox) cb->SetAttribute(L"rcbox", cases[i].rcbox);
        Canvas canvas(cb->Width(), cb->Height());
        PaintAlone(cb, canvas);
        const RECT& b = cases[i].box;
        SCOPED_TRACE(i);
        EXPECT_TRUE(Inked(canvas, b.left, b.top));
        EXPECT_TRUE(Inked(canvas, b.right - 1, b.bottom - 1));
        EXPECT_FALSE(Inked(canvas, b.right, b.bottom - 1));
        if (b.top > 0) {
            EXPECT_FALSE(Inked(canvas, b.left, b.top - 1));
        }
        if (b.bottom < canvas.Height()) {
            EXPECT_FALSE(Inked(canvas, b.left, b.bottom));
        }
    }
}

TEST_F(CheckBoxLookTest, BoxFrameFollowsCheckedAndState) {
    const struct {
        bool checked;
        Attrs attrs;
        bool press;
        int frame;  // of the checked ("ck") or unchecked ("box") strip
    } cases[] = {
        {false, {}, false, 0},
        {true, {}, false, 0},
        {true, {}, true, 2},
        {false, {{L"enable", L"false"}}, false, 3},
        {true, {{L"enable", L"false"}}, false, 3},
        {true, {{L"select", L"1"}}, false, 2},  // the select bit draws pressed
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        UICheckBox* cb = w.Add<UICheckBox>({{L"pos", L"0,0,100,20"},
                                            {L"ckimg", L"img\\ck.bmp"},
                                            {L"unckimg", L"img\\box.bmp"},
                                            {L"check", cases[i].checked ? L"yes" : L"no"}});
        for (const auto& kv : cases[i].attrs) cb->SetAttribute(kv.first, kv.second);
        if (cases[i].press) Down(cb, 1, 1);
        Canvas canvas(100, 20);
        PaintAlone(cb, canvas);
        // The checked strip is 80 x 20 cut across into 20 x 20 frames even
        // though its colours run downwards: frame i starts at column 20 i.
        const int f = cases[i].frame;
        const uint32_t expected =
            cases[i].checked ? StripPixel(0, 20 * f + 3, 3) : StripPixel(f, 3, 3);
        EXPECT_EQ(canvas.At(3, 3), expected) << i;
    }
}

TEST_F(CheckBoxLookTest, ButtonStripIsNotDrawnAndTextSitsBesideTheBox) {
    UICheckBox* cb = w.Add<UICheckBox>({{L"pos", L"0,0,200,30"},
                                        {L"btn", L"img\\btn.bmp"},
                                        {L"txt", L"Agree"},
                                        {L"font", L"14"},
                                        {L"clr", L"#ffff0000"},
                                        {L"horz", L"2"},  // overridden: always left
                                        {L"vert", L"0"},  // overridden: always centred
                                        {L"xstart", L"100"}});
    Canvas canvas(200, 30);
    PaintAlone(cb, canvas);
    const Ink ink = FindInk(canvas);
    ASSERT_GT(ink.count, 0);
    EXPECT_EQ(ink.rgb, 0xFF0000u);
    EXPECT_GE(ink.left, 24);
    EXPECT_LT(ink.left, 32);
    EXPECT_NEAR(ink.top, 30 - 1 - ink.bottom, 4);

    cb->SetAttribute(L"xlabel", L"60");
    cb->SetAttribute(L"ylabel", L"10");
    RECT rc;
    cb->GetTextRect(rc);
    EXPECT_EQ(rc.left, 60);
    EXPECT_EQ(rc.top, 10);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 30);
}

TEST_F(CheckBoxLookTest, SwitchLooksByPosition) {
    // The probe (3, 14) tells the strips apart: the off strip gives frame
    // 0, column 3, row 14; the on strip, coloured downwards in 11-pixel
    // bands, gives band 1, column 3, row 3.
    const Attrs kBoth = {{L"btn", L"img\\btn.bmp"}, {L"btn2", L"img\\btn2.bmp"}};
    const Attrs kSpecs = {{L"bkn", L"clr:clr=#ff00ff00"}, {L"bkn2", L"clr:clr=#ffff0000"}};
    const struct {
        Attrs attrs;
        bool hover;
        int clicks;
        uint32_t colour;
    } cases[] = {
        {{{L"btn", L"img\\btn.bmp"}}, false, 0, StripPixel(0, 3, 14)},
        {{{L"btn", L"img\\btn.bmp"}}, true, 0, StripPixel(1, 3, 14)},
        {{{L"btn", L"img\\btn.bmp"}}, false, 1, 0},  // on without "btn2": nothing
        {kBoth, false, 1, StripPixel(1, 3, 3)},
        {kBoth, true, 1, StripPixel(1, 173, 3)},  // the on strip's hover frame
        {kBoth, false, 2, StripPixel(0, 3, 14)},
        {kSpecs, false, 1, 0xFFFF0000},
        {kSpecs, false, 2, 0xFF00FF00},
        // On and hovered: the hover look of the on set, else its normal one.
        {{{L"bkn2", L"clr:clr=#ffff0000"}, {L"bkh2", L"clr:clr=#ff0000ff"}}, true, 1, 0xFF0000FF},
        {{{L"bkn2", L"clr:clr=#ffff0000"}, {L"bkp2", L"clr:clr=#ff0000ff"}}, true, 1, 0xFFFF0000},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        UISwitch* s = w.Add<UISwitch>({{L"pos", L"0,0,170,45"}});
        for (const auto& kv : cases[i].attrs) s->SetAttribute(kv.first, kv.second);
        if (cases[i].hover) Hover(s);
        for (int c = 0; c < cases[i].clicks; ++c) Click(s, 5, 5);
        Canvas canvas(170, 45);
        PaintAlone(s, canvas);
        EXPECT_EQ(canvas.At(3, 14), cases[i].colour) << i;
    }
}

// ---- Events ------------------------------------------------------------------

TEST(CheckBoxEventTest, ClickTogglesAndRaisesCheckChangedOnly) {
    TestWindow w;
    UICheckBox* cb = w.Add<UICheckBox>({{L"id", L"agree"}, {L"pos", L"0,0,100,30"}});
    EventLog log;
    log.Listen(cb);
    Click(cb, 50, 15);
    EXPECT_TRUE(cb->IsChecked());
    Click(cb, 50, 15);
    EXPECT_FALSE(cb->IsChecked());
    EXPECT_EQ(log.Text(), "agree:checkchanged:1 agree:checkchanged:0");
    ASSERT_EQ(w.host.notified.size(), 2u);
    EXPECT_EQ(w.host.notified[0].name, "checkchanged");
}

TEST(CheckBoxEventTest, ScriptAndLayoutSettersRaiseNothing) {
    TestWindow w;
    UICheckBox* cb = w.Add<UICheckBox>({{L"id", L"desk"}, {L"check", L"true"}});
    EXPECT_TRUE(cb->IsChecked());
    EventLog log;
    log.Listen(cb);
    cb->SetCheckedValue(false);
    cb->OnCheckChanged();
    EXPECT_FALSE(cb->IsChecked());
    cb->SetChecked(true);
    EXPECT_TRUE(cb->IsChecked());
    cb->SetAttribute(L"check", L"0");
    EXPECT_FALSE(cb->IsChecked());
    EXPECT_EQ(log.Text(), "");
    EXPECT_TRUE(w.host.notified.empty());
}

TEST(CheckBoxEventTest, SwitchRaisesCheckChangedBeforeClick) {
    TestWindow w;
    UISwitch* s = w.Add<UISwitch>(
        {{L"id", L"auto"}, {L"pos", L"0,0,40,20"}, {L"group", L"g"}, {L"page", L"p"}});
    UIControl* page = w.Add<UIControl>({{L"id", L"p"}});
    EventLog log;
    log.Listen(s);
    Click(s, 5, 5);
    EXPECT_TRUE(s->IsOn());
    Click(s, 5, 5);
    EXPECT_FALSE(s->IsOn());
    EXPECT_EQ(log.Text(), "auto:checkchanged:1 auto:click:0 auto:checkchanged:0 auto:click:0");
    // A switch is never a tab.
    EXPECT_FALSE(s->HasStyleA(UIControl::kStyleSelect));
    EXPECT_TRUE(page->IsVisibleBit());
}

// Three radio boxes of group "a" and one of group "b" in one container, one
// of group "a" in another.
class RadioGroupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UIControl* box = w.Add<UIControl>({{L"pos", L"0,0,400,100"}});
        UIControl* other = w.Add<UIControl>({{L"pos", L"0,100,400,100"}});
        for (int i = 0; i < 3; ++i) {
            const std::wstring n = std::to_wstring(i);
            r[i] = w.Add<UIRadioBox>({{L"id", (L"r" + n).c_str()},
                                      {L"pos", (n + L"00,0,100,30").c_str()},
                                      {L"group", L"a"}},
                                     box);
        }
        b = w.Add<UIRadioBox>({{L"id", L"b"}, {L"group", L"b"}, {L"check", L"1"}}, box);
        distant = w.Add<UIRadioBox>({{L"id", L"far"}, {L"group", L"a"}, {L"check", L"1"}}, other);
        r[0]->SetAttribute(L"check", L"1");
        for (UIControl* c : {static_cast<UIControl*>(r[0]), static_cast<UIControl*>(r[1]),
                             static_cast<UIControl*>(r[2]), static_cast<UIControl*>(b),
                             static_cast<UIControl*>(distant)}) {
            log.Listen(c);
        }
    }
    std::string Checked() {
        std::string out;
        for (UIRadioBox* c : {r[0], r[1], r[2], b, distant}) out += c->IsChecked() ? '1' : '0';
        return out;
    }

    TestWindow w;
    UIRadioBox* r[3] = {};
    UIRadioBox* b = nullptr;
    UIRadioBox* distant = nullptr;
    EventLog log;
};

TEST_F(RadioGroupTest, ClickChecksOneAndUnchecksItsGroupSilently) {
    ASSERT_EQ(Checked(), "10011");
    Click(r[1], 150, 15);
    EXPECT_EQ(Checked(), "01011");
    EXPECT_EQ(log.Text(), "r1:checkchanged:1");
    Click(r[1], 150, 15);  // already checked: nothing
    EXPECT_EQ(Checked(), "01011");
    EXPECT_EQ(log.Text(), "r1:checkchanged:1");
    EXPECT_EQ(w.host.notified.size(), 1u);
}

TEST_F(RadioGroupTest, ScriptSetterRunsTheGroupRuleWithoutEvents) {
    r[2]->SetChecked(true);
    EXPECT_EQ(Checked(), "00111");
    r[2]->SetChecked(false);  // the script may uncheck a radio box
    EXPECT_EQ(Checked(), "00011");
    EXPECT_EQ(log.Text(), "");
}

TEST_F(RadioGroupTest, GroupIsTheRadioGroupNotAPageGroup) {
    EXPECT_EQ(r[0]->GetRadioGroup(), L"a");
    EXPECT_EQ(r[0]->GetGroup(), L"");
    EXPECT_EQ(r[0]->GetAttribute(L"group"), L"");
}

}  // namespace
