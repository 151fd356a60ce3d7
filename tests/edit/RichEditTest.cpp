// The edit field on the windowless rich-text services, in a real host
// window: typed text reaches the services through the option filters, the
// limit and read-only messages work, and the drawn text has real pixels.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/controls/UIEdit.h"

namespace {

class RichEdit : public ::testing::Test {
  protected:
    RichEdit() : host(320, 200) {}
    UIEdit* AddFocused(DWORD options) {
        auto* edit = MakeControl<UIEdit>(
            host.get(), {{L"id", L"re"}, {L"pos", L"0,0,200,30"}, {L"font", L"16"}});
        edit->SetOptions(options);
        host->FocusControl(edit->Handle(), 0);
        return edit;
    }
    TestHost host;
};

TEST_F(RichEdit, TheServicesComeFromTheSystemLibrary) {
    UIEdit* edit = AddFocused(0);
    ASSERT_NE(edit->Services(), nullptr);
    HMODULE loaded = ::GetModuleHandleW(L"riched20.dll");
    ASSERT_NE(loaded, nullptr);
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    ::GetModuleFileNameW(loaded, path, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, wcslen(system)), 0);
    RegisterControlFactory();
    UIControlCreator create = FindControlCreator(L"UIEdit");
    ASSERT_NE(create, nullptr);
    UIRefPtr<UIControl> made = UIRefPtr<UIControl>::Adopt(create());
    EXPECT_STREQ(made->GetClassName(), "UIEdit");
}

TEST_F(RichEdit, TypedTextPassesTheOptionFilters) {
    const struct {
        DWORD options;
        const wchar_t* typed;
        const wchar_t* text;
    } cases[] = {
        {0, L"abc", L"abc"},
        {0, L"a\tb", L"ab"},  // no tab without want-tab
        {UIEdit::kWantTab, L"a\tb", L"a\tb"},
        {0, L"a\rb", L"ab"},
        {UIEdit::kNumber, L"1a2,-.x", L"12,-."},
    };
    for (const auto& c : cases) {
        UIEdit* edit = AddFocused(c.options);
        ASSERT_NE(edit->Services(), nullptr);
        Chars(host, c.typed);
        EXPECT_EQ(edit->ServicesText(), c.text);
        edit->Detach();
    }
}

TEST_F(RichEdit, BackspaceDeletes) {
    UIEdit* edit = AddFocused(0);
    Chars(host, L"ab");
    Key(host, VK_BACK);
    Chars(host, L"c");
    EXPECT_EQ(edit->ServicesText(), L"ac");
}

TEST_F(RichEdit, LimitAndReadOnly) {
    UIEdit* edit = AddFocused(0);
    edit->SendMessage(EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(edit->MaxLength(), 3);
    Chars(host, L"abcdef");
    EXPECT_EQ(edit->ServicesText(), L"abc");
    edit->SendMessage(EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(edit->MaxLength(), 0x7fff);
    edit->SendMessage(EM_SETREADONLY, 1, 0);
    EXPECT_EQ(edit->GetAttribute(L"readonly"), L"1");
    Chars(host, L"x");
    EXPECT_EQ(edit->ServicesText(), L"abc");
    edit->SendMessage(EM_SETREADONLY, 0, 0);
    EXPECT_EQ(edit->GetAttribute(L"readonly"), L"0");
    Chars(host, L"x");
    EXPECT_EQ(edit->ServicesText(), L"abcx");
}

TEST_F(RichEdit, FormatMessagesNeedFullSizeRecords) {
    UIEdit* edit = AddFocused(0);
    CHARFORMAT2W cf = edit->CharFormat();
    cf.yHeight = 300;
    cf.cbSize = sizeof(CHARFORMATW);  // the short record is refused
    edit->SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_NE(edit->CharFormat().yHeight, 300);
    cf.cbSize = sizeof(CHARFORMAT2W);
    edit->SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(edit->CharFormat().yHeight, 300);
}

TEST_F(RichEdit, TheServicesDrawOpaqueTextPixels) {
    UIEdit* edit = AddFocused(0);
    Chars(host, L"WWWW");
    Canvas canvas(200, 30);
    PaintControl(edit, canvas);
    const Ink ink = FindInk(canvas);
    EXPECT_GT(ink.count, 30);
    EXPECT_LT(ink.left, 20);
    EXPECT_LT(ink.rgb & 0xFF, 0x40);  // dark text
    edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Canvas empty(200, 30);
    PaintControl(edit, empty);
    EXPECT_EQ(FindInk(empty).count, 0);
}

}  // namespace
