// The edit field that is a real child window: its description, the window
// made from it, text both ways, visibility and place, and "vkreturn".
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "ui/controls/UINativeEdit.h"

namespace {

TEST(NativeEditDescription, StyleBitsFromTheOptions) {
    const struct {
        Attrs attrs;
        DWORD style;
    } cases[] = {
        {{}, 0x50000080},
        {{{L"nspassword", L"true"}, {L"nsborder", L"true"}}, 0x508000A0},
        {{{L"nsmultiline", L"1"}}, 0x50000084},
        {{{L"nspassword", L"no"}, {L"nsmultiline", L"yes"}, {L"nsborder", L"TRUE"}}, 0x50800084},
    };
    for (const auto& c : cases) {
        UIRefPtr<UINativeEdit> edit =
            UIRefPtr<UINativeEdit>::Adopt(MakeControl<UINativeEdit>(nullptr, c.attrs));
        EXPECT_EQ(edit->GetNativeStyle(), c.style);
        EXPECT_STREQ(edit->GetNativeClassName(), L"EDIT");
        EXPECT_EQ(edit->NativeHwnd(), nullptr);  // no window without a host window
    }
}

class NativeEdit : public ::testing::Test {
  protected:
    NativeEdit() : host(320, 200) {}
    UINativeEdit* Add(Attrs attrs) {
        auto* edit =
            MakeControl<UINativeEdit>(host.get(), {{L"id", L"ne"}, {L"pos", L"20,30,150,24"}});
        for (const auto& kv : attrs) edit->SetAttribute(kv.first, kv.second);
        edit->AddListener(&events, &EditEvents::Record);
        host.Paint();
        return edit;
    }
    TestHost host;
    EditEvents events;
};

TEST_F(NativeEdit, TheChildWindowIsMadeFromTheDescription) {
    UINativeEdit* edit = Add(
        {{L"nspassword", L"true"}, {L"nsborder", L"true"}, {L"font", L"16"}, {L"txt", L"start"}});
    HWND child = edit->NativeHwnd();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(::GetParent(child), host.hwnd());
    EXPECT_EQ(edit->GetNativeStyle(), 0x508000A0u);
    // The edit window takes the border bit off its style and draws the border itself.
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE)) & 0xFFFF00FF,
              0x508000A0u & ~static_cast<DWORD>(WS_BORDER));
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    EXPECT_EQ(_wcsicmp(cls, L"edit"), 0);
    wchar_t text[16] = {};
    ::GetWindowTextW(child, text, 16);
    EXPECT_STREQ(text, L"start");
    LOGFONTW lf = {};
    ASSERT_NE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)),
                           sizeof(lf), &lf),
              0);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.right - rc.left, 150);
}

TEST_F(NativeEdit, TextGoesBothWaysAndEnterRaisesVkReturn) {
    UINativeEdit* edit = Add({});
    HWND child = edit->NativeHwnd();
    ASSERT_NE(child, nullptr);
    for (wchar_t ch : std::wstring(L"key")) ::SendMessageW(child, WM_CHAR, ch, 1);
    EXPECT_EQ(edit->GetText(), L"key");
    EXPECT_EQ(events.text, "");
    ::SendMessageW(child, WM_CHAR, 13, 1);
    EXPECT_EQ(events.text, "vkreturn:0");
    edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"set"));
    wchar_t text[8] = {};
    ::GetWindowTextW(child, text, 8);
    EXPECT_STREQ(text, L"set");
}

TEST_F(NativeEdit, TheWindowFollowsVisibilityAndPlace) {
    UINativeEdit* edit = Add({});
    HWND child = edit->NativeHwnd();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE);
    edit->SendMessage(WM_SHOWWINDOW, 0, 0);
    EXPECT_FALSE(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE);
    edit->SendMessage(WM_SHOWWINDOW, 1, 0);
    EXPECT_TRUE(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE);
    edit->SetPos(40, 50, 100, 30);
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 50);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    edit->Detach();
    EXPECT_FALSE(::IsWindow(child));
}

}  // namespace
