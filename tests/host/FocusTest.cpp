// Keyboard focus: Tab and Shift+Tab in document order, focus groups moved
// with the arrow keys, keys for the focused control, and the focus kept
// aside while the window has no native focus.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "ui/UIControlRegistry.h"

namespace {

// Holds Shift in this thread's keyboard state for its lifetime.
class ShiftHeld {
  public:
    ShiftHeld() { Set(true); }
    ~ShiftHeld() { Set(false); }
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;

  private:
    static void Set(bool down) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        keys[VK_LSHIFT] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
};

std::wstring FocusedId(TestHost& host) {
    UIControl* c = UIControlRegistry::Instance().Find(host->GetFocusedControl());
    return c ? c->GetId() : L"(none)";
}

SwatchControl* Focusable(UIControl* parent, const wchar_t* id, const wchar_t* pos) {
    auto* c = AddSwatch(parent, id, pos);
    c->focusable = true;
    return c;
}

// bg > [label, panel > [first], last, hidden, disabled]
void BuildForm(TestHost& host) {
    auto* bg = AddSwatch(host.get(), L"bg", L"0,0,200,100", 0xFF808080, {{L"hit", L"false"}});
    AddSwatch(bg, L"label", L"0,0,10,10");
    auto* panel = AddSwatch(bg, L"panel", L"10,10,50,50");
    Focusable(panel, L"first", L"0,0,10,10");
    Focusable(bg, L"last", L"70,10,10,10");
    Focusable(bg, L"hidden", L"90,10,10,10")->SendMessage(WM_SHOWWINDOW, 0, 0);
    Focusable(bg, L"disabled", L"110,10,10,10")->SendMessage(WM_ENABLE, 0, 0);
}

TEST(TabOrder, TabAndShiftTabFromNothingAndAround) {
    const struct {
        bool shift;
        const wchar_t* expected;
    } steps[] = {
        {false, L"first"}, {false, L"last"}, {false, L"first"},  // wraps
        {true, L"last"},   {true, L"first"},
    };
    TestHost host(200, 100);
    BuildForm(host);
    EXPECT_EQ(FocusedId(host), L"(none)");
    for (const auto& step : steps) {
        if (step.shift) {
            ShiftHeld shift;
            host.Send(WM_KEYDOWN, VK_TAB);
        } else {
            host.Send(WM_KEYDOWN, VK_TAB);
        }
        EXPECT_EQ(FocusedId(host), step.expected);
    }
    EXPECT_EQ(CountOf(L"first", WM_SETFOCUS), 3);
    EXPECT_EQ(CountOf(L"first", WM_KILLFOCUS), 2);
}

TEST(TabOrder, ShiftTabWithNothingFocusedTakesTheLast) {
    TestHost host(200, 100);
    BuildForm(host);
    ShiftHeld shift;
    host.Send(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(FocusedId(host), L"last");
}

TEST(TabOrder, OtherKeysGoToTheFocusedControl) {
    TestHost host(200, 100);
    BuildForm(host);
    host.Send(WM_KEYDOWN, VK_TAB);
    host.Send(WM_KEYDOWN, 'A');
    host.Send(WM_CHAR, 'a');
    EXPECT_EQ(CountOf(L"first", WM_KEYDOWN), 1);
    EXPECT_EQ(CountOf(L"first", WM_CHAR), 1);
    // System keys only reach controls that want every key.
    host.Send(WM_SYSKEYDOWN, VK_F4);
    EXPECT_EQ(CountOf(L"first", WM_SYSKEYDOWN), 0);
}

TEST(FocusGroup, ArrowsMoveInsideTheGroupAndTabLeavesIt) {
    TestHost host(200, 100);
    auto* group = AddSwatch(host.get(), L"group", L"0,0,100,100", 0xFF808080, {{L"hit", L"false"}});
    for (const wchar_t* id : {L"r1", L"r2", L"r3"}) {
        auto* r = Focusable(group, id, L"0,0,10,10");
        r->inGroup = true;
    }
    Focusable(host.get(), L"after", L"150,0,10,10");
    host.Send(WM_KEYDOWN, VK_TAB);
    ASSERT_EQ(FocusedId(host), L"r1");
    const struct {
        UINT key;
        const wchar_t* expected;
    } steps[] = {
        {VK_RIGHT, L"r2"}, {VK_DOWN, L"r3"}, {VK_RIGHT, L"r1"},   // wraps
        {VK_LEFT, L"r3"},  {VK_UP, L"r2"},   {VK_TAB, L"after"},  // the group is one stop
    };
    for (const auto& step : steps) {
        host.Send(WM_KEYDOWN, step.key);
        EXPECT_EQ(FocusedId(host), step.expected) << step.key;
    }
    // Keys other than arrows stay with the group member.
    host->FocusControl(host->FindById(L"r1")->Handle(), 0);
    host.Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(FocusedId(host), L"r1");
    EXPECT_EQ(CountOf(L"r1", WM_KEYDOWN), 1);
}

TEST(NativeFocus, TheFocusedControlIsKeptWhileTheWindowIsInactive) {
    TestHost host(200, 100);
    BuildForm(host);
    host.Send(WM_KEYDOWN, VK_TAB);
    ASSERT_EQ(FocusedId(host), L"first");
    host.Send(WM_KILLFOCUS);
    EXPECT_EQ(FocusedId(host), L"(none)");
    EXPECT_EQ(CountOf(L"first", WM_KILLFOCUS), 1);
    // While inactive, a request only changes what comes back.
    host->FocusManager().FocusControl(host->FindById(L"last")->Handle(), 0);
    EXPECT_EQ(FocusedId(host), L"(none)");
    host.Send(WM_SETFOCUS);
    EXPECT_EQ(FocusedId(host), L"last");
    EXPECT_EQ(host->FocusManager().Reason(), 2);
}

TEST(NativeFocus, AClickElsewhereClearsTheFocus) {
    TestHost host(200, 100);
    BuildForm(host);
    host.Send(WM_KEYDOWN, VK_TAB);
    host.Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);  // on "label"
    EXPECT_EQ(FocusedId(host), L"(none)");
}

}  // namespace
