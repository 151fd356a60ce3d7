// The native-window base: description defaults, visibility kept in step
// with the hidden state, and the window's end.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/UINativeCtrl.h"

namespace {

HWND MakeStatic() {
    return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
}

bool HasVisibleStyle(HWND hwnd) { return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

TEST(NativeCtrl, Description) {
    UIRefPtr<UINativeCtrl> c =
        UIRefPtr<UINativeCtrl>::Adopt(MakeControl<UINativeCtrl>(nullptr, {{L"txt", L"abc"}}));
    EXPECT_STREQ(c->GetNativeClassName(), L"static");
    EXPECT_EQ(c->GetNativeStyle(), 0x40000000u);
    EXPECT_EQ(c->GetNativeText(), L"abc");
    EXPECT_EQ(c->OnNativeHook(), 0);
    EXPECT_EQ(c->NativeHwnd(), nullptr);
    c->OnVisibilityHook();  // without a window: nothing
}

TEST(NativeCtrl, WindowFollowsHiddenState) {
    UIRefPtr<UIControl> root =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"pos", L"10,20,100,100"}}));
    auto* c = MakeControl<UINativeCtrl>(root.get(), {{L"pos", L"5,6,30,40"}});
    HWND hwnd = MakeStatic();
    ASSERT_NE(hwnd, nullptr);
    c->AttachNativeWindow(hwnd);
    EXPECT_TRUE(HasVisibleStyle(hwnd));  // shown on creation: not hidden
    root->SendMessage(WM_SHOWWINDOW, 0, 0);
    c->OnVisibilityHook();
    EXPECT_FALSE(HasVisibleStyle(hwnd));
    root->SendMessage(WM_SHOWWINDOW, 1, 0);
    c->OnVisibilityHook();
    EXPECT_TRUE(HasVisibleStyle(hwnd));
    RECT rc;
    c->GetNativeRect(rc);
    RECT expected = {15, 26, 45, 66};
    EXPECT_TRUE(EqualRect(&rc, &expected));
    // a window destroyed from outside is forgotten
    ::DestroyWindow(hwnd);
    EXPECT_EQ(c->NativeHwnd(), nullptr);
}

TEST(NativeCtrl, DestroyedWithTheControl) {
    HWND hwnd = MakeStatic();
    ASSERT_NE(hwnd, nullptr);
    auto* c = new UINativeCtrl();
    c->AttachNativeWindow(hwnd);
    EXPECT_EQ(::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), TRUE);
    c->Release();
    EXPECT_FALSE(::IsWindow(hwnd));
}

}  // namespace
