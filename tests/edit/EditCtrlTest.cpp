// The self-drawn edit field in a real host window: its style word, typing
// and the keys that edit, the clipboard and undo, the filters of its styles,
// its events, the context menu's rules, scrolling and line breaking, and
// what its pixels show.
#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/controls/UIEditCtrl.h"

namespace {

constexpr uint32_t kTextRgb = 0x102030;
constexpr uint32_t kHintRgb = 0x30A050;

class EditField : public ::testing::Test {
  protected:
    EditField() : host(320, 200) {}

    UIEditCtrl* Add(const wchar_t* style, const wchar_t* pos = L"10,10,200,24", Attrs extra = {}) {
        auto* edit = MakeControl<UIEditCtrl>(host.get(), {{L"id", L"ed"},
                                                          {L"pos", pos},
                                                          {L"font", L"14"},
                                                          {L"clr", L"#ff102030"},
                                                          {L"clrhint", L"#ff30A050"},
                                                          {L"editstyle", style}});
        for (const auto& kv : extra) edit->SetAttribute(kv.first, kv.second);
        events.Listen(edit);
        return edit;
    }
    UIEditCtrl* AddFocused(const wchar_t* style, const wchar_t* pos = L"10,10,200,24") {
        UIEditCtrl* edit = Add(style, pos);
        host->FocusControl(edit->Handle(), 0);
        events.text.clear();
        return edit;
    }

    TestHost host;
    EditEvents events;
};

TEST(EditStyle, NamesFoundAnywhereInTheValue) {
    const struct {
        const wchar_t* value;
        DWORD style;
    } cases[] = {
        {L"ES_MULTILINE|ES_WANTRETURN", 0x1004},
        {L"ES_MULTILINE ES_WANTRETURN", 0x1004},
        {L"", 0},
        {L"ES_PASSWORDES_NUMBER", 0x2020},
        {L"es_number", 0},  // names are matched exactly
        {L"ES_CENTER,ES_RIGHT;ES_UPPERCASE/ES_LOWERCASE", 0x001B},
        {L"ES_AUTOVSCROLL ES_AUTOHSCROLL ES_NOHIDESEL ES_OEMCONVERT ES_READONLY", 0x0DC0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UIEditCtrl::ParseEditStyle(c.value), c.style)
            << std::string(c.value, c.value + wcslen(c.value));
    }
}

TEST(EditStyle, TheFactoryMakesTheField) {
    RegisterControlFactory();
    UIControlCreator create = FindControlCreator(L"UIEditCtrl");
    ASSERT_NE(create, nullptr);
    UIRefPtr<UIControl> c = UIRefPtr<UIControl>::Adopt(create());
    EXPECT_STREQ(c->GetClassName(), "UIEditCtrl");
    c->SetAttribute(L"editstyle", L"ES_MULTILINE|ES_WANTRETURN");
    EXPECT_EQ(static_cast<UIEditCtrl*>(c.get())->EditStyle(), 0x1004u);
    EXPECT_EQ(c->GetAttribute(L"editstyle"), L"");  // not passed on
}

TEST_F(EditField, TypedCharactersFollowTheStyles) {
    const struct {
        const wchar_t* style;
        const wchar_t* typed;
        const wchar_t* text;
    } cases[] = {
        {L"", L"Hello, world", L"Hello, world"},
        {L"ES_NUMBER", L"12a3-", L"123"},
        {L"ES_UPPERCASE", L"Key-abc", L"KEY-ABC"},
        {L"ES_LOWERCASE", L"Key-ABC", L"key-abc"},
        {L"ES_READONLY", L"abc", L""},
        {L"", L"a\tb\rc", L"abc"},  // single line: no tab, no break
        {L"ES_MULTILINE|ES_WANTRETURN", L"a\tb\rc", L"a\tb\r\nc"},
    };
    for (const auto& c : cases) {
        UIEditCtrl* edit = AddFocused(c.style);
        Chars(host, c.typed);
        EXPECT_EQ(edit->GetText(), c.text)
            << "style " << std::string(c.style, c.style + wcslen(c.style));
        edit->Detach();
    }
}

TEST_F(EditField, EnterWithoutWantReturnNotifiesAndLeavesTheText) {
    const struct {
        const wchar_t* style;
        const char* events;
        const wchar_t* text;
    } cases[] = {
        {L"", "edit_notify:13", L"ab"},
        {L"ES_MULTILINE", "edit_notify:13", L"ab"},
        {L"ES_MULTILINE|ES_WANTRETURN", "edit_notify:1024 edit_notify:768", L"ab\r\n"},
    };
    for (const auto& c : cases) {
        UIEditCtrl* edit = AddFocused(c.style);
        Chars(host, L"ab");
        events.text.clear();
        Key(host, VK_RETURN);
        host.Send(WM_CHAR, L'\r', 1);  // what the translation of the key gives
        EXPECT_EQ(events.text, c.events);
        EXPECT_EQ(edit->GetText(), c.text);
        edit->Detach();
    }
}

TEST_F(EditField, EveryChangeNotifiesUpdateThenChange) {
    UIEditCtrl* edit = AddFocused(L"ES_NUMBER");
    Chars(host, L"1x");
    EXPECT_EQ(events.text, "edit_notify:1024 edit_notify:768");  // the refused letter: nothing
    events.text.clear();
    edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"42"));
    EXPECT_EQ(events.text, "edit_notify:1024 edit_notify:768");
    EXPECT_EQ(edit->GetText(), L"42");
}

TEST_F(EditField, KeysMoveSelectAndDelete) {
    UIEditCtrl* edit = AddFocused(L"");
    Chars(host, L"one two three");
    Key(host, VK_LEFT);
    Key(host, VK_LEFT);
    Chars(host, L"\b");  // deletes the 'e' before the caret
    EXPECT_EQ(edit->GetText(), L"one two thee");
    {
        KeysHeld ctrl{VK_CONTROL};
        Key(host, VK_HOME);
        Key(host, VK_RIGHT);  // after "one "
    }
    {
        KeysHeld shift{VK_SHIFT};
        Key(host, VK_RIGHT);
        Key(host, VK_RIGHT);
        Key(host, VK_RIGHT);
    }
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->SelEnd(), 7);
    Key(host, VK_DELETE);
    EXPECT_EQ(edit->GetText(), L"one  thee");
    {
        KeysHeld shift{VK_SHIFT};
        Key(host, VK_END);
    }
    Chars(host, L"X");
    EXPECT_EQ(edit->GetText(), L"one X");
    {
        KeysHeld alt{VK_MENU};  // keys are ignored while Alt is held
        Key(host, VK_HOME);
    }
    EXPECT_EQ(edit->CaretIndex(), 5);
}

TEST_F(EditField, CopyAndPasteRoundTripAndUndo) {
    UIEditCtrl* edit = AddFocused(L"");
    Chars(host, L"licence");
    Chars(host, L"\x01\x03");  // Ctrl+A, Ctrl+C
    EXPECT_EQ(ClipboardText(), L"licence");
    Key(host, VK_END);
    Chars(host, L"-\x16");  // '-', Ctrl+V
    EXPECT_EQ(edit->GetText(), L"licence-licence");
    Chars(host, L"\x1A");  // Ctrl+Z takes the paste back
    EXPECT_EQ(edit->GetText(), L"licence-");
    Chars(host, L"\x1A");  // and again gives it back, as the classic control
    EXPECT_EQ(edit->GetText(), L"licence-licence");
    Chars(host, L"\x01\x18");  // Ctrl+A, Ctrl+X
    EXPECT_EQ(edit->GetText(), L"");
    EXPECT_EQ(ClipboardText(), L"licence-licence");
}

TEST_F(EditField, TypingIsUndoneAsOneStep) {
    UIEditCtrl* edit = AddFocused(L"");
    Chars(host, L"abc");
    Key(host, VK_LEFT);  // a move ends the run
    Chars(host, L"de");
    Chars(host, L"\x1A");
    EXPECT_EQ(edit->GetText(), L"abc");
    EXPECT_TRUE(edit->CanUndo());
}

TEST_F(EditField, PasteFollowsTheStyles) {
    const struct {
        const wchar_t* style;
        const wchar_t* clip;
        const wchar_t* text;
    } cases[] = {
        {L"", L"first\r\nsecond", L"first"},  // one line only
        {L"ES_MULTILINE", L"first\nsecond", L"first\r\nsecond"},
        {L"ES_NUMBER", L"12ab", L""},
        {L"ES_NUMBER", L"1234", L"1234"},
        {L"ES_READONLY", L"abc", L""},
        {L"ES_UPPERCASE", L"abc", L"ABC"},
    };
    for (const auto& c : cases) {
        UIEditCtrl* edit = AddFocused(c.style);
        SetClipboardText(c.clip);
        Chars(host, L"\x16");
        EXPECT_EQ(edit->GetText(), c.text);
        edit->Detach();
    }
}

TEST_F(EditField, PasswordFieldsCopyNothing) {
    SetClipboardText(L"before");
    UIEditCtrl* edit = AddFocused(L"ES_PASSWORD");
    Chars(host, L"secret\x01\x03\x18");
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_EQ(edit->GetText(), L"secret");
}

TEST_F(EditField, TheLimitCutsTypedAndPastedText) {
    UIEditCtrl* edit = AddFocused(L"");
    edit->SendMessage(EM_SETLIMITTEXT, 4, 0);
    Chars(host, L"abcdef");
    EXPECT_EQ(edit->GetText(), L"abcd");
    Chars(host, L"\x01");
    SetClipboardText(L"123456");
    Chars(host, L"\x16");
    EXPECT_EQ(edit->GetText(), L"1234");
}

TEST_F(EditField, MenuCommandsFollowTheirRules) {
    using S = SkEdit::MenuStates;
    const struct {
        const wchar_t* style;
        int selStart, selEnd;  // in "abcde"
        bool clip;
        S states;  // undo, cut, copy, paste, delete, select all
    } cases[] = {
        {L"", 5, 5, false, S{true, false, false, false, false, true}},
        {L"", 1, 3, true, S{true, true, true, true, true, true}},
        {L"ES_PASSWORD", 1, 3, true, S{true, false, false, true, true, true}},
        {L"ES_READONLY", 1, 3, true, S{false, false, true, false, false, true}},
        {L"", 0, 5, false, S{true, true, true, false, true, false}},
    };
    for (const auto& c : cases) {
        UIEditCtrl* edit = Add(c.style);
        edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abcd"));
        edit->SendMessage(EM_SETSEL, 4, 4);
        edit->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"e"));
        edit->SendMessage(EM_SETSEL, c.selStart, c.selEnd);
        if (c.clip) {
            SetClipboardText(L"x");
        } else {
            ::OpenClipboard(nullptr);
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        const S s = edit->GetMenuStates();
        const std::string at = std::string(c.style, c.style + wcslen(c.style)) + " " +
                               std::to_string(c.selStart) + "-" + std::to_string(c.selEnd);
        EXPECT_EQ(s.undo, c.states.undo) << at;
        EXPECT_EQ(s.cut, c.states.cut) << at;
        EXPECT_EQ(s.copy, c.states.copy) << at;
        EXPECT_EQ(s.paste, c.states.paste) << at;
        EXPECT_EQ(s.del, c.states.del) << at;
        EXPECT_EQ(s.selectAll, c.states.selectAll) << at;
        edit->Detach();
    }
}

TEST_F(EditField, MenuPositionsRunTheirCommands) {
    UIEditCtrl* edit = AddFocused(L"");
    Chars(host, L"abcd");
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuSelectAll));
    EXPECT_FALSE(edit->GetMenuStates().selectAll);
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuCopy));
    EXPECT_EQ(ClipboardText(), L"abcd");
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuDelete));
    EXPECT_EQ(edit->GetText(), L"");
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuUndo));
    EXPECT_EQ(edit->GetText(), L"abcd");
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuCut));
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuPaste));
    EXPECT_TRUE(edit->RunMenuCommand(SkEdit::kMenuPaste));
    EXPECT_EQ(edit->GetText(), L"abcdabcd");
    EXPECT_FALSE(edit->RunMenuCommand(1));  // a separator
}

TEST_F(EditField, LosingTheFocusHidesTheCaretAndNotifies) {
    UIEditCtrl* edit = AddFocused(L"");
    EXPECT_TRUE(edit->CaretShown());
    host->FocusControl(0, 0);
    EXPECT_FALSE(edit->CaretShown());
    EXPECT_EQ(events.text, "ed_killfocus:0");
}

TEST_F(EditField, CaretTimerTogglesTheCaret) {
    UIEditCtrl* edit = AddFocused(L"");
    ASSERT_TRUE(edit->CaretPhase());
    edit->SendMessage(WM_TIMER, UIEditCtrl::kCaretTimer, 0);
    EXPECT_FALSE(edit->CaretPhase());
    Chars(host, L"a");  // a move shows it again
    EXPECT_TRUE(edit->CaretPhase());
}

TEST_F(EditField, MousePlacesTheCaretDragsAndDoubleClicks) {
    UIEditCtrl* edit = Add(L"", L"10,10,300,24");
    edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"alpha beta gamma"));
    host.Mouse(WM_LBUTTONDOWN, 11, 20);
    EXPECT_EQ(host->GetFocusedControl(), edit->Handle());
    EXPECT_EQ(edit->CaretIndex(), 0);
    host.Mouse(WM_MOUSEMOVE, 305, 20, MK_LBUTTON);
    host.Mouse(WM_LBUTTONUP, 305, 20);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelEnd(), 16);
    const RECT caretAtB = [&] {
        edit->SendMessage(EM_SETSEL, 7, 7);
        return edit->CaretRect();
    }();
    RECT host_rc;
    edit->GetHostRect(host_rc);
    host.Mouse(WM_LBUTTONDBLCLK, host_rc.left + caretAtB.left, 20);
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelEnd(), 10);
}

TEST_F(EditField, SingleLineScrollsToKeepTheCaretVisible) {
    UIEditCtrl* edit = AddFocused(L"", L"10,10,60,24");
    Chars(host, L"a rather long licence key text");
    EXPECT_GT(edit->ScrollX(), 0.0f);
    RECT client;
    edit->GetClientRect(client);
    const RECT caret = edit->CaretRect();
    EXPECT_GE(caret.left, client.left);
    EXPECT_LT(caret.left, client.right);
    Key(host, VK_HOME);
    EXPECT_EQ(edit->ScrollX(), 0.0f);
}

TEST_F(EditField, MultiLineBreaksAtWordsAndScrolls) {
    UIEditCtrl* edit = AddFocused(L"ES_MULTILINE|ES_WANTRETURN", L"10,10,80,40");
    const std::wstring text = L"words that wrap inside a narrow field of text";
    Chars(host, text);
    const int lines = edit->LineCount();
    EXPECT_GT(lines, 2);
    for (int i = 1; i < lines; ++i) {
        const LRESULT start = edit->SendMessage(EM_LINEINDEX, i, 0);
        ASSERT_GT(start, 0);
        EXPECT_EQ(text[start - 1], L' ') << "line " << i << " starts inside a word";
    }
    EXPECT_GT(edit->FirstVisibleLine(), 0);  // the caret's line is shown
    {
        KeysHeld ctrl{VK_CONTROL};
        Key(host, VK_HOME);
    }
    EXPECT_EQ(edit->FirstVisibleLine(), 0);
    host.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
              MAKELPARAM(130, 130));  // screen
    EXPECT_GT(edit->FirstVisibleLine(), 0);
}

TEST_F(EditField, LineMessagesAnswerAsTheClassicControl) {
    UIEditCtrl* edit = Add(L"ES_MULTILINE", L"10,10,200,60");
    edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ab\ncdef\r\ng"));
    EXPECT_EQ(edit->GetText(), L"ab\r\ncdef\r\ng");
    const struct {
        UINT msg;
        WPARAM w;
        LRESULT expected;
    } cases[] = {
        {EM_GETLINECOUNT, 0, 3},   {EM_LINEINDEX, 1, 4},  {EM_LINEINDEX, 2, 10},
        {EM_LINEINDEX, 3, -1},     {EM_LINELENGTH, 5, 4}, {EM_LINEFROMCHAR, 10, 2},
        {WM_GETTEXTLENGTH, 0, 11},
    };
    for (const auto& c : cases) EXPECT_EQ(edit->SendMessage(c.msg, c.w, 0), c.expected) << c.msg;
    wchar_t buffer[8] = {7};
    EXPECT_EQ(edit->SendMessage(EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(std::wstring(buffer, 4), L"cdef");
    wchar_t small[3];
    EXPECT_EQ(edit->SendMessage(WM_GETTEXT, 3, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_STREQ(small, L"ab");
}

// ---- Pixels ------------------------------------------------------------------

TEST_F(EditField, PasswordShowsOnlyMaskCharacters) {
    UIEditCtrl* masked = Add(L"ES_PASSWORD", L"0,0,200,24", {{L"txt", L"Wim8"}});
    UIEditCtrl* stars = Add(L"", L"0,30,200,24", {{L"txt", L"****"}});
    UIEditCtrl* plain = Add(L"", L"0,60,200,24", {{L"txt", L"Wim8"}});
    Canvas a(200, 24), b(200, 24), c(200, 24);
    PaintControl(masked, a);
    PaintControl(stars, b);
    PaintControl(plain, c);
    int same = 0, differ = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 200; ++x) {
            same += a.At(x, y) == b.At(x, y);
            differ += a.At(x, y) != c.At(x, y);
        }
    }
    EXPECT_EQ(same, 200 * 24);
    EXPECT_GT(differ, 20);
    EXPECT_GT(CountRgb(a, kTextRgb), 0);
}

TEST_F(EditField, TheHintIsDrawnOnlyWhileEmpty) {
    UIEditCtrl* edit = Add(L"", L"0,0,200,24", {{L"hint", L"Your name"}});
    const struct {
        const wchar_t* text;
        bool hint;
    } cases[] = {{L"", true}, {L"Ann", false}, {L"", true}};
    for (const auto& c : cases) {
        edit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
        Canvas canvas(200, 24);
        PaintControl(edit, canvas);
        EXPECT_EQ(CountRgb(canvas, kHintRgb) > 0, c.hint);
        EXPECT_EQ(CountRgb(canvas, kTextRgb) > 0, !c.hint);
    }
}

TEST_F(EditField, SelectionIsHighlightedWhileFocused) {
    UIEditCtrl* edit = AddFocused(L"", L"0,0,200,24");
    Chars(host, L"select me\x01");
    const uint32_t highlight = 0x3399FF;
    Canvas focused(200, 24);
    PaintControl(edit, focused);
    const Ink ink = FindInk(focused, highlight);
    EXPECT_GT(ink.count, 100);
    EXPECT_LE(ink.left, 1);
    host->FocusControl(0, 0);
    Canvas unfocused(200, 24);
    PaintControl(edit, unfocused);
    EXPECT_EQ(CountRgb(unfocused, highlight), 0);
}

TEST_F(EditField, AlignmentPlacesTheText) {
    const struct {
        const wchar_t* style;
        int minLeft, maxLeft;
    } cases[] = {{L"", 0, 3}, {L"ES_CENTER", 70, 100}, {L"ES_RIGHT", 150, 199}};
    for (const auto& c : cases) {
        UIEditCtrl* edit = Add(c.style, L"0,0,200,24", {{L"txt", L"abc"}});
        Canvas canvas(200, 24);
        PaintControl(edit, canvas);
        const Ink ink = FindInk(canvas, kTextRgb);
        EXPECT_GE(ink.left, c.minLeft);
        EXPECT_LE(ink.left, c.maxLeft);
        edit->Detach();
    }
}

}  // namespace
