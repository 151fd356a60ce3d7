// Window input messages turned into control messages: hover and leave with
// tracked controls, capture, the button-up on deactivation, non-client hit
// testing and control timers.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "ui/ControlTimer.h"
#include "ui/UIControlRegistry.h"

namespace {

bool Hovered(UIControl* c) { return (c->GetState() & UIControl::kStateHover) != 0; }

TEST(HoverRouting, ATrackedParentStaysHoveredWhileItsChildIsEntered) {
    TestHost host(200, 100);
    auto* parent =
        AddSwatch(host.get(), L"parent", L"10,10,100,60", 0xFF0000FF, {{L"track", L"1"}});
    auto* child = AddSwatch(parent, L"child", L"20,20,30,20", 0xFFFF0000);
    host.Mouse(WM_MOUSEMOVE, 15, 15);  // on the parent only
    EXPECT_EQ(host->GetHover(), parent->Handle());
    EXPECT_EQ(CountOf(L"parent", WM_MOUSEHOVER), 1);
    EXPECT_TRUE(Hovered(parent));

    host.Mouse(WM_MOUSEMOVE, 35, 35);  // onto the child
    EXPECT_EQ(host->GetHover(), child->Handle());
    EXPECT_EQ(CountOf(L"child", WM_MOUSEHOVER), 1);
    EXPECT_EQ(CountOf(L"child", WM_MOUSEMOVE), 1);
    EXPECT_EQ(CountOf(L"parent", WM_MOUSELEAVE), 0);
    EXPECT_TRUE(Hovered(parent));

    host.Mouse(WM_MOUSEMOVE, 150, 80);  // off both
    EXPECT_EQ(CountOf(L"child", WM_MOUSELEAVE), 1);
    EXPECT_EQ(CountOf(L"parent", WM_MOUSELEAVE), 1);
    EXPECT_FALSE(Hovered(parent));
    EXPECT_FALSE(Hovered(child));
    EXPECT_EQ(host->GetHover(), host->Handle());  // the background
}

TEST(HoverRouting, LeavingTheWindowLeavesEveryHoveredControl) {
    TestHost host(200, 100);
    auto* parent =
        AddSwatch(host.get(), L"parent", L"10,10,100,60", 0xFF0000FF, {{L"track", L"1"}});
    AddSwatch(parent, L"child", L"20,20,30,20", 0xFFFF0000);
    host.Mouse(WM_MOUSEMOVE, 35, 35);  // straight onto the child
    EXPECT_EQ(CountOf(L"parent", WM_MOUSEHOVER), 1);
    EXPECT_TRUE(Hovered(parent));
    host.Send(WM_MOUSELEAVE);
    EXPECT_EQ(host->GetHover(), 0u);
    EXPECT_EQ(CountOf(L"child", WM_MOUSELEAVE), 1);
    EXPECT_EQ(CountOf(L"parent", WM_MOUSELEAVE), 1);
    EXPECT_FALSE(Hovered(parent));
}

TEST(HoverRouting, PlainControlsLeaveWhenTheHoverMoves) {
    TestHost host(200, 100);
    AddSwatch(host.get(), L"a", L"0,0,50,50");
    AddSwatch(host.get(), L"b", L"50,0,50,50");
    host.Mouse(WM_MOUSEMOVE, 10, 10);
    host.Mouse(WM_MOUSEMOVE, 60, 10);
    EXPECT_EQ(CountOf(L"a", WM_MOUSELEAVE), 1);
    EXPECT_EQ(CountOf(L"b", WM_MOUSEHOVER), 1);
}

TEST(CaptureRouting, ADragOffTheControlStillReachesIt) {
    TestHost host(200, 100);
    auto* button = AddSwatch(host.get(), L"button", L"10,10,40,20");
    AddSwatch(host.get(), L"other", L"100,10,40,20");
    UIRefPtr<UIControl> keep(button);
    host.Mouse(WM_MOUSEMOVE, 20, 20);
    host.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(host->GetCapturedControl(), button->Handle());
    EXPECT_EQ(::GetCapture(), host.hwnd());
    host.Mouse(WM_MOUSEMOVE, 120, 20, MK_LBUTTON);  // over "other"
    EXPECT_EQ(CountOf(L"button", WM_MOUSEMOVE), 2);
    EXPECT_EQ(CountOf(L"other", WM_MOUSEMOVE), 0);
    host.Mouse(WM_LBUTTONUP, 120, 20);
    EXPECT_EQ(CountOf(L"button", WM_LBUTTONUP), 1);
    EXPECT_EQ(CountOf(L"other", WM_LBUTTONUP), 0);
    EXPECT_EQ(host->GetCapturedControl(), 0u);
    EXPECT_NE(::GetCapture(), host.hwnd());
}

TEST(CaptureRouting, ADisabledControlCannotCaptureNorReceiveButtons) {
    TestHost host(200, 100);
    auto* c = AddSwatch(host.get(), L"c", L"10,10,40,20");
    c->SendMessage(WM_ENABLE, 0, 0);
    EXPECT_EQ(host->CaptureControl(c->Handle()), 0u);
    EXPECT_EQ(host->GetCapturedControl(), 0u);
    host.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(CountOf(L"c", WM_LBUTTONDOWN), 0);
}

TEST(CaptureRouting, AnotherWindowTakingTheCaptureTellsTheControl) {
    TestHost host(200, 100);
    AddSwatch(host.get(), L"c", L"10,10,40,20");
    host.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    TestHost other(50, 50, 400, 100);
    ::SetCapture(other.hwnd());
    EXPECT_EQ(host->GetCapturedControl(), 0u);
    EXPECT_EQ(CountOf(L"c", WM_CAPTURECHANGED), 1);
    ::ReleaseCapture();
}

TEST(Deactivation, AHeldButtonIsReleasedWhenTheWindowLosesActivation) {
    const struct {
        UINT down, up;
        WPARAM keys;
    } cases[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
        {WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON},
    };
    for (const auto& c : cases) {
        TestHost host(200, 100);
        AddSwatch(host.get(), L"c", L"10,10,40,20");
        host.Mouse(WM_MOUSEMOVE, 20, 20);
        host.Mouse(c.down, 20, 20, c.keys);
        host.Mouse(WM_MOUSEMOVE, 25, 20, c.keys);
        host.Send(WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(CountOf(L"c", c.up), 1) << c.down;
        EXPECT_EQ(host->GetCapturedControl(), 0u);
        // Once released, a second deactivation sends nothing more.
        host.Send(WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(CountOf(L"c", c.up), 1) << c.down;
    }
}

TEST(NonClientHitTest, BackgroundDragsTheWindowControlsDoNot) {
    TestHost host(200, 100, 300, 200);
    auto* bg = AddSwatch(host.get(), L"bg", L"0,0,200,100", 0xFF808080, {{L"hit", L"false"}});
    AddSwatch(bg, L"button", L"20,20,40,20");
    auto* off = AddSwatch(bg, L"off", L"100,20,40,20");
    off->SendMessage(WM_ENABLE, 0, 0);
    off->SetAttribute(L"enable", L"false");
    const struct {
        int x, y;
        bool resizable;
        bool dragByBackground;
        LRESULT expected;
    } cases[] = {
        {10, 50, false, true, HTCAPTION},   // hit-false background
        {30, 30, false, true, HTCLIENT},    // a control
        {110, 30, false, true, HTCAPTION},  // a disabled control lets the drag through
        {10, 50, false, false, HTCLIENT},   // dragging switched off
        {199, 50, true, true, HTRIGHT},       {2, 50, true, true, HTLEFT},
        {100, 99, true, true, HTBOTTOM},      {100, 1, true, true, HTTOP},
        {199, 99, true, true, HTBOTTOMRIGHT}, {1, 1, true, true, HTTOPLEFT},
        {199, 1, true, true, HTTOPRIGHT},     {1, 99, true, true, HTBOTTOMLEFT},
        {10, 50, true, true, HTCAPTION},
    };
    for (const auto& c : cases) {
        host->SetResizable(c.resizable);
        host->SetDragByBackground(c.dragByBackground);
        EXPECT_EQ(host.Send(WM_NCHITTEST, 0, MAKELPARAM(300 + c.x, 200 + c.y)), c.expected)
            << c.x << "," << c.y;
    }
}

TEST(ControlTimers, IdsCarryTheNumberAndTheHandle) {
    static_assert(ControlTimerId(5, 0x01234567) == 0x85234567u, "encoding");
    static_assert(ControlTimerId(127, 1) == 0xFF000001u, "highest number");
    static_assert(ControlTimerNumber(0x85234567u) == 5, "number");
    static_assert(ControlTimerHandle(0x85234567u) == 0x234567u, "handle");
    TestHost host(100, 100);
    auto* c = AddSwatch(host.get(), L"c", L"0,0,10,10");
    host.Send(WM_TIMER, ControlTimerId(3, c->Handle()));
    ASSERT_EQ(CountOf(L"c", WM_TIMER), 1);
    EXPECT_EQ(MessageLog().back().wParam, 3u);
    // Timers without the top bit are not the controls'.
    host.Send(WM_TIMER, 3);
    EXPECT_EQ(CountOf(L"c", WM_TIMER), 1);
}

TEST(ControlTimers, ATimerOfAControlThatIsGoneIsKilled) {
    TestHost host(100, 100);
    auto* c = AddSwatch(host.get(), L"c", L"0,0,10,10");
    ASSERT_TRUE(SetControlTimer(c, 4, 100000));
    const UINT_PTR id = ControlTimerId(4, c->Handle());
    c->Detach();
    host.Send(WM_TIMER, id);
    EXPECT_FALSE(::KillTimer(host.hwnd(), id));  // already gone
}

TEST(Notify, DefaultButtonsByIdWhateverTheEvent) {
    const struct {
        const wchar_t* id;
        bool ends;
        int code;
    } cases[] = {
        {L"btnok", true, 1},
        {L"btnclose", true, 0},
        {L"btncancel", true, 0},
        {L"other", false, 0},
    };
    for (const auto& c : cases) {
        TestHost host(100, 100);
        auto* sender = AddSwatch(host.get(), c.id, L"0,0,10,10");
        EXPECT_EQ(sender->Notify("anything", 0, 0), 1);
        EXPECT_EQ(host->EndCode(), c.code) << c.id;
        EXPECT_EQ(host->EndRequested(), c.ends) << c.id;
    }
}

}  // namespace
