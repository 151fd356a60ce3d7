// The hot key control: keys typed into it become a combination shown by the
// keyboard layout's key names; its caret is drawn by the control.
#include <gtest/gtest.h>

#include "MoreControlsTestSupport.h"
#include "ui/controls/UIHotKey.h"

namespace {

constexpr uint32_t kShift = UIHotKey::kShiftBit, kCtrl = UIHotKey::kCtrlBit,
                   kAlt = UIHotKey::kAltBit;

// The layout's name of a plain scan code, asked of the system directly.
std::wstring ScanName(UINT scan, bool extended = false) {
    wchar_t name[64] = {};
    const int n =
        ::GetKeyNameTextW(static_cast<LONG>(scan << 16 | (extended ? 1u << 24 : 0)), name, 64);
    return std::wstring(name, static_cast<size_t>(std::max(n, 0)));
}

// The modifier keys the thread's keyboard state reports as held.
void HoldModifiers(uint32_t bits) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = (bits & kShift) ? 0x80 : 0;
    keys[VK_CONTROL] = (bits & kCtrl) ? 0x80 : 0;
    keys[VK_MENU] = (bits & kAlt) ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

class HotKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host_ = std::make_unique<TestHost>(200, 60);
        key_ = MakeControl<UIHotKey>(host_->get(), {{L"pos", L"0,0,150,30"}});
        (*host_)->FocusControl(key_->Handle(), 0);
    }
    void TearDown() override { HoldModifiers(0); }
    // A key pressed in the window with the given modifiers held.
    void Press(UINT vk, uint32_t modifiers = 0, UINT msg = WM_KEYDOWN) {
        HoldModifiers(modifiers);
        host_->Send(msg, vk, 0);
        HoldModifiers(0);
    }

    std::unique_ptr<TestHost> host_;
    UIHotKey* key_ = nullptr;
};

TEST_F(HotKeyTest, CtrlShiftF5ShowsThreeNamesCtrlFirstAndDeleteClears) {
    ASSERT_EQ((*host_)->GetFocusedControl(), key_->Handle());
    Press(VK_F5, kCtrl | kShift);
    EXPECT_EQ(key_->GetHotKey(), VK_F5 | kCtrl | kShift);
    const std::wstring ctrl = ScanName(0x1D), shift = ScanName(0x2A), f5 = ScanName(0x3F);
    ASSERT_FALSE(ctrl.empty() || shift.empty() || f5.empty());
    EXPECT_EQ(key_->GetText(), ctrl + L"+" + shift + L"+" + f5);
    Press(VK_DELETE);
    EXPECT_EQ(key_->GetHotKey(), 0u);
    EXPECT_EQ(key_->GetText(), L"");
}

// Each step starts from the code the one before left.
TEST_F(HotKeyTest, KeysSetClearOrKeepTheCode) {
    const struct {
        UINT msg;
        UINT vk;
        uint32_t held;
        uint32_t code;
    } steps[] = {
        {WM_KEYDOWN, 'A', 0, 'A'},
        {WM_KEYDOWN, 'A', kAlt, 'A' | kAlt},
        {WM_KEYDOWN, VK_SHIFT, kShift, 'A' | kAlt},  // a modifier alone changes nothing
        {WM_KEYDOWN, VK_CONTROL, kCtrl, 'A' | kAlt},
        {WM_KEYDOWN, 4, 0, 'A' | kAlt},
        {WM_SYSKEYDOWN, 'B', kAlt, 'A' | kAlt},  // system keys are swallowed
        {WM_KEYDOWN, VK_HOME, kCtrl, VK_HOME | kCtrl},
        {WM_KEYDOWN, VK_BACK, 0, 0},
        {WM_KEYDOWN, 'Z', kShift, 'Z' | kShift},
        {WM_KEYDOWN, VK_TAB, 0, 0},  // Tab is not navigation here
        {WM_KEYDOWN, 'Z', 0, 'Z'},
        {WM_KEYDOWN, VK_RETURN, 0, 0},
        {WM_KEYDOWN, 'Z', 0, 'Z'},
        {WM_KEYDOWN, VK_ESCAPE, 0, 0},
        {WM_KEYDOWN, 'Z', 0, 'Z'},
        {WM_KEYDOWN, VK_SPACE, kCtrl, 0},
    };
    for (const auto& s : steps) {
        Press(s.vk, s.held, s.msg);
        EXPECT_EQ(key_->GetHotKey(), s.code) << s.vk;
        EXPECT_EQ(key_->GetText(), UIHotKey::HotKeyText(s.code)) << s.vk;
    }
    EXPECT_EQ((*host_)->GetFocusedControl(), key_->Handle());
}

TEST(HotKeyNameTest, NamesComeFromTheKeyboardLayout) {
    EXPECT_EQ(UIHotKey::KeyName(VK_CONTROL), ScanName(0x1D));
    EXPECT_EQ(UIHotKey::KeyName('Q'), ScanName(0x10));
    // Delete and the keypad's Del share a scan code; the name tells them apart.
    EXPECT_EQ(UIHotKey::KeyName(VK_DELETE), ScanName(0x53, true));
    EXPECT_EQ(UIHotKey::HotKeyText(0), L"");
    EXPECT_EQ(UIHotKey::HotKeyText('Q' | kAlt | kCtrl),
              ScanName(0x1D) + L"+" + ScanName(0x38) + L"+" + ScanName(0x10));
}

// The caret: 1 pixel wide, 10 shorter than the control, centred, after the
// text, shown in its visible phase while the control has the focus.
TEST_F(HotKeyTest, CaretFollowsTheTextWhileFocused) {
    Press(VK_F5, kCtrl);
    const struct {
        bool focused;
        int timerTicks;  // blink ticks, counted from the step before
        bool caret;
    } cases[] = {
        {true, 0, true},   {true, 1, false}, {true, 1, true},
        {false, 0, false}, {true, 0, true},  // the focus back: shown at once
    };
    for (const auto& c : cases) {
        (*host_)->FocusControl(c.focused ? key_->Handle() : 0, 0);
        for (int i = 0; i < c.timerTicks; ++i)
            key_->SendMessage(WM_TIMER, UIHotKey::kCaretTimer, 0);
        Canvas canvas(150, 30);
        key_->Paint(canvas.G());
        int caretColumns = 0, column = -1;
        for (int x = 0; x < 150; ++x) {
            if (canvas.At(x, 5) == UIHotKey::kCaretColor &&
                canvas.At(x, 24) == UIHotKey::kCaretColor) {
                ++caretColumns;
                column = x;
            }
        }
        EXPECT_EQ(caretColumns, c.caret ? 1 : 0) << c.focused << c.timerTicks;
        if (!c.caret) continue;
        EXPECT_NE(canvas.At(column, 4), UIHotKey::kCaretColor);
        EXPECT_NE(canvas.At(column, 25), UIHotKey::kCaretColor);
        // After the text's ink.
        const Ink ink = FindInk(canvas, 0x000000);
        EXPECT_GT(column, 20);
        EXPECT_EQ(ink.right, column);  // the caret is the rightmost dark pixel
        EXPECT_EQ(key_->CaretRect(canvas.G()).left, column);
    }
}

TEST_F(HotKeyTest, APressTakesTheFocusOnlyWhenEnabled) {
    (*host_)->FocusControl(0, 0);
    key_->SetEnabled(false, 0);
    key_->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    EXPECT_EQ((*host_)->GetFocusedControl(), 0u);
    key_->SetEnabled(true, 0);
    host_->Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    host_->Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ((*host_)->GetFocusedControl(), key_->Handle());
}

}  // namespace
