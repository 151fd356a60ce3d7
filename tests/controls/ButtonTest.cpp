// Buttons: the click rule, state looks from strips and render specs, the
// disabled look, focus and capture, and page groups.
#include <gtest/gtest.h>

#include <iterator>

#include "ControlsTestSupport.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UILink.h"

namespace {

// ---- The click rule ----------------------------------------------------------

enum Step { kDownIn, kDownElsewhere, kUpIn, kUpOut, kLeave, kHover, kCaptureLostStep };

struct ClickCase {
    const char* name;
    std::vector<Step> steps;
    int clicks;
};

class ButtonClickTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ButtonClickTest, ClickOnlyWhenPressedAndReleasedInside) {
    TestWindow w;
    UIButton* b = w.Add<UIButton>({{L"id", L"ok"}, {L"pos", L"10,10,100,40"}});
    UIControl* other = w.Add<UIControl>({{L"pos", L"200,10,50,50"}});
    EventLog log;
    log.Listen(b);
    for (Step s : GetParam().steps) {
        switch (s) {
            case kDownIn:
                Down(b, 50, 30);
                break;
            case kDownElsewhere:  // the host captures the control under the press
                w.host.CaptureControl(other->Handle());
                break;
            case kUpIn:
                Up(b, 109, 49);  // the bottom-right pixel is still inside
                break;
            case kUpOut:
                Up(b, 110, 30);
                break;
            case kLeave:
                Leave(b);
                break;
            case kHover:
                Hover(b);
                break;
            case kCaptureLostStep:
                w.host.ReleaseControlCapture();
                b->SendMessage(kCaptureLost, 0, 0);
                break;
        }
    }
    std::string expected;
    for (int i = 0; i < GetParam().clicks; ++i) expected += i ? " ok:click:0" : "ok:click:0";
    EXPECT_EQ(log.Text(), expected);
    ASSERT_EQ(w.host.notified.size(), size_t(GetParam().clicks));
    EXPECT_EQ(b->GetState() & UIControl::kStatePressed, 0u);
    EXPECT_NE(w.host.captured, b->Handle());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonClickTest,
    ::testing::Values(ClickCase{"PressReleaseInside", {kDownIn, kUpIn}, 1},
                      ClickCase{"PressMoveOffRelease", {kDownIn, kLeave, kUpOut}, 0},
                      ClickCase{"PressOffReleaseOn", {kDownElsewhere, kHover, kUpIn}, 0},
                      ClickCase{"ReleaseWithoutPress", {kHover, kUpIn}, 0},
                      ClickCase{"OffAndBackOn", {kDownIn, kLeave, kHover, kUpIn}, 1},
                      ClickCase{"CaptureLostFirst", {kDownIn, kCaptureLostStep, kUpIn}, 0},
                      ClickCase{"TwoClicks", {kDownIn, kUpIn, kDownIn, kUpIn}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonTest, PressTakesFocusAndCaptureAndKeepsPressedWhenDraggedOff) {
    TestWindow w;
    UIButton* b = w.Add<UIButton>({{L"pos", L"10,10,100,40"}});
    Hover(b);
    Down(b, 20, 20);
    EXPECT_EQ(w.host.focused, b->Handle());
    EXPECT_EQ(w.host.captured, b->Handle());
    Leave(b);
    EXPECT_EQ(b->GetState() & (UIControl::kStateHover | UIControl::kStatePressed),
              uint32_t(UIControl::kStatePressed));
    EXPECT_EQ(GetStateIndex(b), kStateIndexPressed);
    Up(b, 300, 300);
    EXPECT_EQ(w.host.captured, 0u);
    EXPECT_EQ(w.host.releasedCapture, 1);
    EXPECT_EQ(GetStateIndex(b), kStateIndexNormal);
}

TEST(ButtonTest, HandledMessagesReportHandled) {
    TestWindow w;
    UIButton* b = w.Add<UIButton>({{L"pos", L"0,0,10,10"}});
    for (UINT msg : {UINT(WM_LBUTTONDOWN), UINT(WM_LBUTTONUP), kCaptureLost, UINT(WM_MOUSEHOVER),
                     UINT(WM_MOUSELEAVE)}) {
        bool handled = false;
        b->SendMessage(msg, 0, 0, &handled);
        EXPECT_TRUE(handled) << msg;
    }
    bool handled = true;
    b->SendMessage(WM_KEYDOWN, VK_RETURN, 0, &handled);
    EXPECT_FALSE(handled);  // buttons do not react to the keyboard
}

TEST(ButtonTest, ConstructorDefaults) {
    const struct {
        UIControl* control;
        bool focusable;
        uint32_t cursor;
    } cases[] = {
        {new UIButton(), true, 32649},
        {new UILink(), true, 32649},
        {new UILabel(), false, 32512},
        {MakeControl<UIButton>(nullptr, {{L"cursor", L"arrow"}}), true, 32512},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.control->IsFocusable(), c.focusable) << c.control->GetClassName();
        EXPECT_EQ(c.control->GetCursor(), c.cursor) << c.control->GetClassName();
        c.control->Release();
    }
}

// ---- State looks -------------------------------------------------------------

class ButtonLookTest : public ::testing::Test {
  protected:
    TestSkin skin{{{u"img\\btn.bmp", HorizontalStrip(680, 45, 170)},
                   {u"img\\odd.bmp", HorizontalStrip(682, 45, 170)},
                   {u"img\\vbtn.bmp", VerticalStrip(40, 200, 50)},
                   {u"img\\tiny.bmp", HorizontalStrip(3, 45, 1)}}};
    TestWindow w;

    // Puts the button into one of the looks' states.
    static void Enter(UIButton* b, int state) {
        switch (state) {
            case kStateIndexHover:
                Hover(b);
                break;
            case kStateIndexPressed:
                Hover(b);
                Down(b, 5, 5);
                break;
            case kStateIndexDisabled:
                Hover(b);  // the disabled look wins over hover
                b->SetAttribute(L"enable", L"false");
                break;
        }
    }
};

TEST_F(ButtonLookTest, StripFramesByState) {
    const struct {
        const wchar_t* attr;
        const wchar_t* image;
        int w, h;
        bool vertical;
    } strips[] = {
        {L"btn", L"img\\btn.bmp", 170, 45, false},
        {L"btn", L"img\\odd.bmp", 170, 45, false},  // 682 / 4 = 170: two columns unused
        {L"vbtn", L"img\\vbtn.bmp", 40, 50, true},
    };
    for (const auto& s : strips) {
        for (int state = 0; state < 4; ++state) {
            UIButton* b = w.Add<UIButton>(
                {{L"pos", (L"0,0," + std::to_wstring(s.w) + L"," + std::to_wstring(s.h)).c_str()},
                 {s.attr, s.image}});
            Enter(b, state);
            ASSERT_EQ(GetStateIndex(b), state);
            Canvas canvas(s.w, s.h);
            PaintAlone(b, canvas);
            for (POINT p : {POINT{0, 0}, POINT{s.w - 1, s.h - 1}, POINT{s.w / 2, 7}}) {
                EXPECT_EQ(canvas.At(p.x, p.y), StripPixel(state, p.x, p.y))
                    << s.image << " state " << state << " at " << p.x << "," << p.y;
            }
        }
    }
}

TEST_F(ButtonLookTest, RenderSpecsPerStateAndFallbackToNormal) {
    const wchar_t* kRed = L"clr:clr=#ffff0000";
    const struct {
        Attrs attrs;
        uint32_t colours[4];
    } cases[] = {
        {{{L"bkn", kRed}}, {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000}},
        {{{L"bkn", kRed},
          {L"bkh", L"clr:clr=#ff00ff00"},
          {L"bkp", L"clr:clr=#ff0000ff"},
          {L"bkd", L"clr:clr=#ff808080"}},
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080}},
        // A later "btn" replaces every spec; a missing image leaves none.
        {{{L"bkn", kRed}, {L"btn", L"img\\none.bmp"}}, {0, 0, 0, 0}},
        // Too narrow for four frames: no looks rather than the whole image.
        {{{L"btn", L"img\\tiny.bmp"}}, {0, 0, 0, 0}},
        // Only the hover look: the other states have nothing to fall back to.
        {{{L"bkh", kRed}}, {0, 0xFFFF0000, 0, 0}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (int state = 0; state < 4; ++state) {
            UIButton* b = w.Add<UIButton>({{L"pos", L"0,0,20,20"}});
            for (const auto& kv : cases[i].attrs) b->SetAttribute(kv.first, kv.second);
            Enter(b, state);
            Canvas canvas(20, 20);
            PaintAlone(b, canvas);
            EXPECT_EQ(canvas.At(10, 10), cases[i].colours[state]) << i << " state " << state;
        }
    }
}

TEST_F(ButtonLookTest, BackrectPlacesTheLookOverTheBack) {
    UIButton* b = w.Add<UIButton>({{L"pos", L"0,0,200,60"},
                                   {L"back", L"clr:clr=#ff102030"},
                                   {L"bkn", L"clr:clr=#ffff0000"},
                                   {L"btn", L"img\\btn.bmp"},
                                   {L"backrect", L"10,5,170,45"},
                                   {L"backrect", L"1,2,3"}});  // ignored: three parts
    EXPECT_EQ(b->GetBackRect().right, 180);
    Canvas canvas(200, 60);
    PaintAlone(b, canvas);
    EXPECT_EQ(canvas.At(9, 5), 0xFF102030u);
    EXPECT_EQ(canvas.At(10, 5), StripPixel(0, 0, 0));
    EXPECT_EQ(canvas.At(179, 49), StripPixel(0, 169, 44));
    EXPECT_EQ(canvas.At(180, 49), 0xFF102030u);
    EXPECT_EQ(canvas.At(100, 50), 0xFF102030u);
}

TEST_F(ButtonLookTest, DisabledButtonDrawsFrameThreeAndIsNotHit) {
    UIButton* b = w.Add<UIButton>(
        {{L"pos", L"10,10,170,45"}, {L"btn", L"img\\btn.bmp"}, {L"enable", L"false"}});
    Hover(b);
    Canvas canvas(170, 45);
    PaintAlone(b, canvas);
    EXPECT_EQ(canvas.At(3, 3), StripPixel(3, 3, 3));
    // The host routes the mouse by FindControlAt: the point over the button
    // finds the window's root, so the button never sees the press.
    EXPECT_EQ(w.Root()->FindControlAt(50, 30), w.Root());
    b->SetAttribute(L"enable", L"true");
    EXPECT_EQ(w.Root()->FindControlAt(50, 30), b);
    // Geometry alone still says the point is on it.
    EXPECT_TRUE(b->HitTestPoint(POINT{50, 30}));
}

TEST_F(ButtonLookTest, DisabledByParentTakesNoFocusOnPress) {
    UIButton* b = w.Add<UIButton>({{L"pos", L"10,10,170,45"}});
    w.Root()->SendMessage(WM_ENABLE, 0, 0);
    b->SendMessage(WM_ENABLE, 1, 1);
    ASSERT_TRUE(b->GetState() & UIControl::kStateDisabled);
    Down(b, 20, 20);
    EXPECT_EQ(w.host.focused, 0u);
    EXPECT_EQ(w.host.captured, b->Handle());
}

// ---- Page groups -------------------------------------------------------------

TEST(ButtonGroupTest, ClickSelectsTabAndShowsOnlyItsPage) {
    TestWindow w;
    UIControl* bar = w.Add<UIControl>({{L"pos", L"0,0,400,40"}});
    UIButton* tabs[3];
    UIControl* pages[3];
    for (int i = 0; i < 3; ++i) {
        const std::wstring n = std::to_wstring(i);
        tabs[i] = w.Add<UIButton>({{L"id", (L"tab" + n).c_str()},
                                   {L"pos", (n + L"0,0,10,10").c_str()},
                                   {L"group", L"pages"},
                                   {L"page", (L"page" + n).c_str()}},
                                  bar);
        pages[i] = w.Add<UIControl>({{L"id", (L"page" + n).c_str()}, {L"pos", L"0,50,400,200"}});
    }
    UIControl* inner = w.Add<UIControl>({{L"pos", L"0,0,5,5"}}, pages[2]);
    // A link and a button of another group never act as tabs of this one.
    UILink* link = w.Add<UILink>(
        {{L"id", L"link"}, {L"group", L"pages"}, {L"page", L"page3"}, {L"select", L"1"}}, bar);
    UIControl* linkPage = w.Add<UIControl>({{L"id", L"page3"}});
    UIButton* stranger =
        w.Add<UIButton>({{L"group", L"other"}, {L"page", L"page0"}, {L"select", L"1"}}, bar);
    EventLog log;
    for (UIButton* t : tabs) log.Listen(t);

    Click(tabs[1], 15, 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tabs[i]->HasStyleA(UIControl::kStyleSelect), i == 1) << i;
        EXPECT_EQ(pages[i]->IsVisibleBit(), i == 1) << i;
        EXPECT_EQ((pages[i]->GetState() & UIControl::kStateHidden) != 0, i != 1) << i;
    }
    EXPECT_TRUE(inner->GetState() & UIControl::kStateHidden);  // the page's subtree too
    EXPECT_EQ(GetStateIndex(tabs[1]), kStateIndexPressed);     // selected looks pressed
    EXPECT_TRUE(link->HasStyleA(UIControl::kStyleSelect));
    EXPECT_TRUE(linkPage->IsVisibleBit());
    EXPECT_TRUE(stranger->HasStyleA(UIControl::kStyleSelect));
    EXPECT_EQ(log.Text(), "tab1:click:0");

    Click(tabs[2], 25, 5);
    EXPECT_TRUE(pages[2]->IsVisibleBit());
    EXPECT_FALSE(pages[1]->IsVisibleBit());
    EXPECT_FALSE(inner->GetState() & UIControl::kStateHidden);
    EXPECT_EQ(log.Text(), "tab1:click:0 tab2:click:0");
}

TEST(ButtonGroupTest, GroupedButtonWithoutPageHidesNothing) {
    TestWindow w;
    UIControl* unnamed = w.Add<UIControl>({{L"pos", L"0,0,5,5"}});
    UIButton* a = w.Add<UIButton>({{L"id", L"a"}, {L"pos", L"10,10,10,10"}, {L"group", L"g"}});
    UIButton* b = w.Add<UIButton>({{L"id", L"b"}, {L"group", L"g"}});
    Click(a, 12, 12);
    EXPECT_TRUE(a->HasStyleA(UIControl::kStyleSelect));
    EXPECT_FALSE(b->HasStyleA(UIControl::kStyleSelect));
    EXPECT_TRUE(w.Root()->IsVisibleBit());
    EXPECT_TRUE(unnamed->IsVisibleBit());
}

}  // namespace
