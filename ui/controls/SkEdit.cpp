#include "ui/controls/SkEdit.h"

#include <imm.h>
#include <usp10.h>
#include <windowsx.h>

#include <cmath>
#include <cwctype>

#include "app/Handles.h"

namespace {

constexpr DWORD kHighlight = 0xFF3399FF;
constexpr DWORD kHighlightText = 0xFFFFFFFF;
constexpr int kWheelLines = 3;

bool KeyHeld(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// 0 blank, 1 word character, 2 punctuation: words are runs of one class.
int CharClass(wchar_t c) {
    if (std::iswspace(c)) return 0;
    if (std::iswalnum(c) || c == L'_' || c >= 0x80) return 1;
    return 2;
}

// Line breaks of pasted or set text: single-line fields keep the first
// line only, multi-line fields get CR LF pairs.
std::wstring NormaliseBreaks(const std::wstring& in, bool multiline) {
    if (!multiline) return in.substr(0, in.find_first_of(L"\r\n"));
    std::wstring out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == L'\r' || in[i] == L'\n') {
            if (in[i] == L'\r' && i + 1 < in.size() && in[i + 1] == L'\n') ++i;
            out += L"\r\n";
        } else {
            out += in[i];
        }
    }
    return out;
}

// Where a line may break before character k, found by Uniscribe; blanks
// ending a word are the fallback when Uniscribe has no answer.
std::vector<char> SoftBreaks(const wchar_t* text, int n) {
    std::vector<char> breaks(n + 1, 0);
    std::vector<SCRIPT_ITEM> items(n + 2);
    int count = 0;
    if (n > 0 &&
        SUCCEEDED(::ScriptItemize(text, n, n + 1, nullptr, nullptr, items.data(), &count))) {
        std::vector<SCRIPT_LOGATTR> attrs(n);
        for (int i = 0; i < count; ++i) {
            const int start = items[i].iCharPos, end = items[i + 1].iCharPos;
            if (end <= start ||
                FAILED(::ScriptBreak(text + start, end - start, &items[i].a, &attrs[start])))
                continue;
        }
        for (int k = 1; k < n; ++k) breaks[k] = attrs[k].fSoftBreak ? 1 : 0;
        return breaks;
    }
    for (int k = 1; k < n; ++k) breaks[k] = std::iswspace(text[k - 1]) && !std::iswspace(text[k]);
    return breaks;
}

void AppendMenuItem(HMENU menu, UINT id, const wchar_t* text) {
    ::AppendMenuW(menu, text ? MF_STRING : MF_SEPARATOR, id, text);
}

struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

// The six commands at their positions of the platform's menu, for systems
// without its resource.
UniqueMenu BuildEditMenu() {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return menu;
    AppendMenuItem(menu.get(), WM_UNDO, L"&Undo");
    AppendMenuItem(menu.get(), 0, nullptr);
    AppendMenuItem(menu.get(), WM_CUT, L"Cu&t");
    AppendMenuItem(menu.get(), WM_COPY, L"&Copy");
    AppendMenuItem(menu.get(), WM_PASTE, L"&Paste");
    AppendMenuItem(menu.get(), WM_CLEAR, L"&Delete");
    AppendMenuItem(menu.get(), 0, nullptr);
    AppendMenuItem(menu.get(), EM_SETSEL, L"Select &All");
    return menu;
}

}  // namespace

// ---- Setup ---------------------------------------------------------------

void SkEdit::InitEdit(const RECT& rect, DWORD style) {
    rect_ = rect;
    SetEditStyle(style);
}

void SkEdit::SetEditRect(const RECT& rect) {
    if (::EqualRect(&rect, &rect_)) return;
    rect_ = rect;
    InvalidateLayout();
}

void SkEdit::SetEditStyle(DWORD style) {
    style_ = style;
    InvalidateLayout();
}

void SkEdit::InvalidateLayout() {
    layoutValid_ = false;
    if (focused_) UpdateCaret();
}

void SkEdit::SetEditText(const std::wstring& text) {
    text_ = NormaliseBreaks(text, (style_ & kMultiline) != 0);
    if (static_cast<int>(text_.size()) > limit_) text_.resize(limit_);
    anchor_ = caret_ = 0;
    canUndo_ = false;
    typingRun_ = false;
    modified_ = false;
    scrollX_ = 0;
    topLine_ = 0;
    Changed(true);
    modified_ = false;
}

int SkEdit::ClampIndex(int index) const {
    return std::max(0, std::min(index, static_cast<int>(text_.size())));
}

// ---- Messages --------------------------------------------------------------

bool SkEdit::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_KEYDOWN:
            return OnKeyDown(static_cast<UINT>(wParam), result);
        case WM_CHAR:
            return OnChar(static_cast<wchar_t>(wParam));
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return OnMouse(msg, wParam, lParam);
        case WM_MOUSEWHEEL:
            return OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        case WM_IME_STARTCOMPOSITION:
            UpdateCaret();
            return true;
        case WM_IME_COMPOSITION:
            return OnImeComposition(lParam);
        case WM_IME_ENDCOMPOSITION:
            composition_.clear();
            Changed(false);
            return true;
        case WM_IME_CHAR:
            return true;  // the result string was taken from the composition
        default:
            return OnEditCommand(msg, wParam, lParam, result);
    }
}

bool SkEdit::OnKeyDown(UINT key, LRESULT& result) {
    if (KeyHeld(VK_MENU)) return false;
    const bool shift = KeyHeld(VK_SHIFT), ctrl = KeyHeld(VK_CONTROL);
    const bool multiline = (style_ & kMultiline) != 0;
    if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT) preferredX_ = -1;
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            const bool back = key == VK_LEFT || key == VK_UP;
            if (multiline && (key == VK_UP || key == VK_DOWN)) {
                MoveCaret(VerticalMove(caret_, back ? -1 : 1), shift);
            } else if (HasSelection() && !shift) {
                MoveCaret(back ? SelStart() : SelEnd(), false);
            } else if (back) {
                MoveCaret(ctrl ? PrevWord(caret_) : PrevChar(caret_), shift);
            } else {
                MoveCaret(ctrl ? NextWord(caret_) : NextChar(caret_), shift);
            }
            break;
        }
        case VK_HOME:
            MoveCaret(ctrl || !multiline ? 0 : LineStartOf(caret_), shift);
            break;
        case VK_END:
            MoveCaret(ctrl || !multiline ? static_cast<int>(text_.size()) : LineEndOf(caret_),
                      shift);
            break;
        case VK_PRIOR:
        case VK_NEXT:
            if (!multiline) return false;
            MoveCaret(VerticalMove(caret_, (key == VK_PRIOR ? -1 : 1) * VisibleLines()), shift);
            break;
        case VK_DELETE:
            if (shift) {
                Cut();
            } else if (style_ & kReadOnly) {
                EditBeep();
            } else {
                DeleteForward();
            }
            break;
        case VK_INSERT:
            if (ctrl) Copy();
            if (shift) Paste();
            break;
        default:
            return false;
    }
    result = 0;
    return true;
}

bool SkEdit::OnChar(wchar_t ch) {
    const bool multiline = (style_ & kMultiline) != 0;
    switch (ch) {
        case 0x01:  // Ctrl+A
            SelectAll();
            return true;
        case 0x03:  // Ctrl+C
            Copy();
            return true;
        case 0x16:  // Ctrl+V
            Paste();
            return true;
        case 0x18:  // Ctrl+X
            Cut();
            return true;
        case 0x1A:  // Ctrl+Z
            Undo();
            return true;
        case 0x08:
            DeleteBackward();
            return true;
        case L'\t':
            if (!multiline) return false;
            TypeText(L"\t");
            return true;
        case L'\r':
        case L'\n':  // Ctrl+Enter gives a line feed
            if (multiline && ((style_ & kWantReturn) || KeyHeld(VK_CONTROL))) TypeText(L"\r\n");
            return true;
        default:
            if (ch < 0x20 || ch == 0x7F) return true;
            TypeText(std::wstring(1, ch));
            return true;
    }
}

bool SkEdit::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT pt = EditPointFromMessage(lParam);
    switch (msg) {
        case WM_LBUTTONDOWN:
            EditSetFocus();
            preferredX_ = -1;
            MoveCaret(HitTest(pt), (wParam & MK_SHIFT) != 0);
            EditSetCapture();
            selecting_ = true;
            return true;
        case WM_MOUSEMOVE:
            if (selecting_ && EditHasCapture()) MoveCaret(HitTest(pt), true);
            return true;
        case WM_LBUTTONUP:
            if (selecting_) EditReleaseCapture();
            selecting_ = false;
            return true;
        case WM_LBUTTONDBLCLK: {
            EditSetFocus();
            const int at = HitTest(pt);
            int start = at, end = at;
            if (!(style_ & kPassword)) {
                const int cls = at < static_cast<int>(text_.size()) ? CharClass(text_[at]) : -1;
                while (start > 0 && CharClass(text_[start - 1]) == cls) --start;
                while (end < static_cast<int>(text_.size()) && CharClass(text_[end]) == cls) ++end;
            } else {
                start = 0;
                end = static_cast<int>(text_.size());
            }
            SetSelection(start, end);
            return true;
        }
        case WM_RBUTTONDOWN:
            EditSetFocus();
            return true;
        case WM_RBUTTONUP:
            ShowContextMenu(lParam);
            return true;
        default:
            return false;
    }
}

bool SkEdit::OnWheel(int delta) {
    if (!(style_ & kMultiline)) return false;
    ScrollLines(-delta * kWheelLines / WHEEL_DELTA);
    return true;
}

bool SkEdit::OnImeComposition(LPARAM lParam) {
    HWND hwnd = EditWindow();
    HIMC imc = hwnd ? ::ImmGetContext(hwnd) : nullptr;
    if (!imc) return false;
    auto read = [imc](DWORD kind) {
        const LONG bytes = ::ImmGetCompositionStringW(imc, kind, nullptr, 0);
        std::wstring s(bytes > 0 ? static_cast<size_t>(bytes) / sizeof(wchar_t) : 0, L'\0');
        if (!s.empty()) {
            const LONG got =
                ::ImmGetCompositionStringW(imc, kind, s.data(), static_cast<DWORD>(s.size() * 2));
            s.resize(got > 0 ? std::min(s.size(), static_cast<size_t>(got) / 2) : 0);
        }
        return s;
    };
    if (lParam & GCS_RESULTSTR) {
        composition_.clear();
        TypeText(read(GCS_RESULTSTR));
    }
    if (lParam & GCS_COMPSTR) {
        composition_ = (style_ & kReadOnly) ? std::wstring() : read(GCS_COMPSTR);
        Changed(false);
    }
    ::ImmReleaseContext(hwnd, imc);
    return true;
}

bool SkEdit::OnEditCommand(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SETTEXT: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            SetEditText(text ? text : L"");
            result = TRUE;
            return true;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (!buffer || wParam == 0) return true;
            const size_t n = std::min(text_.size(), static_cast<size_t>(wParam) - 1);
            text_.copy(buffer, n);
            buffer[n] = L'\0';
            result = static_cast<LRESULT>(n);
            return true;
        }
        case WM_GETTEXTLENGTH:
            result = static_cast<LRESULT>(text_.size());
            return true;
        case EM_GETSEL: {
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = SelStart();
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = SelEnd();
            result = MAKELRESULT(std::min(SelStart(), 0xFFFF), std::min(SelEnd(), 0xFFFF));
            return true;
        }
        case EM_SETSEL: {
            const int start = static_cast<int>(wParam), end = static_cast<int>(lParam);
            if (start == -1) {
                SetSelection(caret_, caret_);
            } else {
                const int size = static_cast<int>(text_.size());
                SetSelection(ClampIndex(start), end < 0 ? size : ClampIndex(end));
            }
            return true;
        }
        case EM_GETRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = rect_;
            return true;
        case EM_SCROLLCARET:
            ScrollToCaret();
            UpdateCaret();
            EditInvalidate(nullptr);
            result = TRUE;
            return true;
        case EM_LINESCROLL:
            if (style_ & kMultiline) ScrollLines(static_cast<int>(lParam));
            result = (style_ & kMultiline) ? TRUE : FALSE;
            return true;
        case EM_GETMODIFY:
            result = modified_ ? TRUE : FALSE;
            return true;
        case EM_SETMODIFY:
            modified_ = wParam != 0;
            return true;
        case EM_REPLACESEL: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            if (!wParam) typingRun_ = true;  // no new undo step
            const std::wstring insert =
                NormaliseBreaks(text ? text : L"", (style_ & kMultiline) != 0);
            ReplaceSelection(insert, wParam == 0, true);
            typingRun_ = false;
            return true;
        }
        case EM_SETLIMITTEXT:
            limit_ =
                wParam == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
            return true;
        case EM_GETLIMITTEXT:
            result = limit_;
            return true;
        case EM_CANUNDO:
            result = canUndo_ ? TRUE : FALSE;
            return true;
        case EM_UNDO:
        case WM_UNDO:
            result = canUndo_ ? TRUE : FALSE;
            Undo();
            return true;
        case EM_EMPTYUNDOBUFFER:
            canUndo_ = false;
            typingRun_ = false;
            return true;
        case EM_SETPASSWORDCHAR:
            maskChar_ = static_cast<wchar_t>(wParam);
            style_ = maskChar_ ? (style_ | kPassword) : (style_ & ~kPassword);
            Changed(false);
            return true;
        case EM_GETPASSWORDCHAR:
            result = (style_ & kPassword) ? maskChar_ : 0;
            return true;
        case EM_SETREADONLY:
            style_ = wParam ? (style_ | kReadOnly) : (style_ & ~kReadOnly);
            result = TRUE;
            return true;
        case WM_CUT:
            Cut();
            return true;
        case WM_COPY:
            Copy();
            return true;
        case WM_PASTE:
            Paste();
            return true;
        case WM_CLEAR:
            Clear();
            return true;
        default:
            return OnLineQuery(msg, wParam, lParam, result);
    }
}

bool SkEdit::OnLineQuery(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != EM_GETLINECOUNT && msg != EM_GETFIRSTVISIBLELINE && msg != EM_LINEFROMCHAR &&
        msg != EM_LINEINDEX && msg != EM_LINELENGTH && msg != EM_GETLINE)
        return false;
    EnsureLayout();
    const int count = static_cast<int>(lines_.size());
    const int caretLine = LineOfDisplay(ToDisplay(caret_));
    auto lineOfChar = [&](WPARAM w) {
        const int index = static_cast<int>(w);
        return index < 0 ? caretLine : LineOfDisplay(ToDisplay(ClampIndex(index)));
    };
    switch (msg) {
        case EM_GETLINECOUNT:
            result = count;
            return true;
        case EM_GETFIRSTVISIBLELINE:
            result = (style_ & kMultiline) ? topLine_ : 0;
            return true;
        case EM_LINEFROMCHAR:
            result = lineOfChar(wParam);
            return true;
        case EM_LINEINDEX: {
            const int line = static_cast<int>(wParam) < 0 ? caretLine : static_cast<int>(wParam);
            result = line < count ? FromDisplay(lines_[line].start) : -1;
            return true;
        }
        case EM_LINELENGTH:
            result = lines_[lineOfChar(wParam)].length;
            return true;
        case EM_GETLINE: {
            const int line = static_cast<int>(wParam);
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (!buffer || line < 0 || line >= count) return true;
            const size_t room = *reinterpret_cast<const WORD*>(buffer);
            const Line& l = lines_[line];
            const size_t n = std::min(room, static_cast<size_t>(l.length));
            display_.copy(buffer, n, l.start);
            result = static_cast<LRESULT>(n);
            return true;
        }
        default:
            return false;
    }
}

// ---- Context menu ----------------------------------------------------------

SkEdit::MenuStates SkEdit::GetMenuStates() {
    const bool readOnly = (style_ & kReadOnly) != 0, password = (style_ & kPassword) != 0;
    MenuStates s;
    s.undo = canUndo_ && !readOnly;
    s.cut = HasSelection() && !password && !readOnly;
    s.copy = HasSelection() && !password;
    s.paste = ::IsClipboardFormatAvailable(CF_UNICODETEXT) && !readOnly;
    s.del = HasSelection() && !readOnly;
    s.selectAll = !(SelStart() == 0 && SelEnd() == static_cast<int>(text_.size()));
    return s;
}

bool SkEdit::RunMenuCommand(int position) {
    LRESULT ignored = 0;
    switch (position) {
        case kMenuUndo:
            return EditMessage(WM_UNDO, 0, 0, ignored);
        case kMenuCut:
            return EditMessage(WM_CUT, 0, 0, ignored);
        case kMenuCopy:
            return EditMessage(WM_COPY, 0, 0, ignored);
        case kMenuPaste:
            return EditMessage(WM_PASTE, 0, 0, ignored);
        case kMenuDelete:
            return EditMessage(WM_CLEAR, 0, 0, ignored);
        case kMenuSelectAll:
            return EditMessage(EM_SETSEL, 0, static_cast<LPARAM>(-1), ignored);
        default:
            return false;
    }
}

int SkEdit::EditTrackMenu(POINT screen, const MenuStates& states) {
    HWND hwnd = EditWindow();
    if (!hwnd) return -1;
    // The platform's own menu, in the user's language; ours where it has none.
    UniqueMenu owned(::LoadMenuW(::GetModuleHandleW(L"user32.dll"), L"EDITMENU"));
    HMENU popup = owned ? ::GetSubMenu(owned.get(), 0) : nullptr;
    if (!popup) {
        owned = BuildEditMenu();
        popup = owned.get();
    }
    if (!popup) return -1;
    const std::pair<int, bool> enabled[] = {
        {kMenuUndo, states.undo},   {kMenuCut, states.cut},    {kMenuCopy, states.copy},
        {kMenuPaste, states.paste}, {kMenuDelete, states.del}, {kMenuSelectAll, states.selectAll}};
    for (const auto& e : enabled) {
        ::EnableMenuItem(popup, e.first, MF_BYPOSITION | (e.second ? MF_ENABLED : MF_GRAYED));
    }
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                         screen.x, screen.y, 0, hwnd, nullptr));
    if (id == 0) return -1;
    const int count = ::GetMenuItemCount(popup);
    for (int pos = 0; pos < count; ++pos) {
        if (::GetMenuItemID(popup, pos) == id) return pos;
    }
    return -1;
}

void SkEdit::ShowContextMenu(LPARAM lParam) {
    const POINT screen = EditToScreen(EditPointFromMessage(lParam));
    RunMenuCommand(EditTrackMenu(screen, GetMenuStates()));
}

// ---- Editing ---------------------------------------------------------------

void SkEdit::SaveUndo(bool typing) {
    if (!typing || !typingRun_) {
        undo_ = UndoState{text_, anchor_, caret_};
        canUndo_ = true;
    }
    typingRun_ = typing;
}

void SkEdit::ReplaceSelection(std::wstring insert, bool typing, bool notify) {
    const int start = SelStart(), end = SelEnd();
    const long long room =
        static_cast<long long>(limit_) - (static_cast<long long>(text_.size()) - (end - start));
    if (static_cast<long long>(insert.size()) > room) {
        size_t keep = room > 0 ? static_cast<size_t>(room) : 0;
        if (keep > 0 && IsHighSurrogate(insert[keep - 1])) --keep;  // never half a pair
        insert.resize(keep);
        EditBeep();
    }
    if (insert.empty() && start == end) return;
    SaveUndo(typing);
    text_.replace(start, end - start, insert);
    anchor_ = caret_ = start + static_cast<int>(insert.size());
    modified_ = true;
    Changed(notify);
}

bool SkEdit::FilterChar(wchar_t& ch) const {
    if ((style_ & kNumber) && !(ch >= L'0' && ch <= L'9')) return false;
    if (style_ & kUppercase) ::CharUpperBuffW(&ch, 1);
    if (style_ & kLowercase) ::CharLowerBuffW(&ch, 1);
    return true;
}

void SkEdit::TypeText(const std::wstring& input) {
    if (style_ & kReadOnly) {
        EditBeep();
        return;
    }
    std::wstring accepted;
    for (wchar_t ch : input) {
        if (ch == L'\r' || ch == L'\n' || ch == L'\t' || FilterChar(ch)) accepted += ch;
    }
    if (accepted.size() != input.size()) EditBeep();
    if (accepted.empty()) return;
    ReplaceSelection(accepted, true, true);
}

void SkEdit::DeleteBackward() {
    if (style_ & kReadOnly) {
        EditBeep();
        return;
    }
    if (!HasSelection()) {
        if (caret_ == 0) return;
        anchor_ = PrevChar(caret_);
    }
    ReplaceSelection(std::wstring(), false, true);
}

void SkEdit::DeleteForward() {
    if (!HasSelection()) {
        if (caret_ >= static_cast<int>(text_.size())) return;
        anchor_ = NextChar(caret_);
    }
    ReplaceSelection(std::wstring(), false, true);
}

void SkEdit::Undo() {
    if (!canUndo_ || (style_ & kReadOnly)) return;
    // One level, as the classic control: undoing again redoes.
    UndoState current{text_, anchor_, caret_};
    text_ = undo_.text;
    anchor_ = ClampIndex(undo_.anchor);
    caret_ = ClampIndex(undo_.caret);
    undo_ = std::move(current);
    typingRun_ = false;
    modified_ = true;
    Changed(true);
}

void SkEdit::Copy() {
    if (!HasSelection() || (style_ & kPassword)) return;
    const std::wstring part = text_.substr(SelStart(), SelEnd() - SelStart());
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, (part.size() + 1) * sizeof(wchar_t)));
    if (!memory) return;
    auto* dst = static_cast<wchar_t*>(::GlobalLock(memory.get()));
    if (!dst) return;
    part.copy(dst, part.size());
    dst[part.size()] = L'\0';
    ::GlobalUnlock(memory.get());
    if (!::OpenClipboard(EditWindow())) return;
    ::EmptyClipboard();
    if (::SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();  // the system owns it
    ::CloseClipboard();
}

void SkEdit::Cut() {
    if (!HasSelection() || (style_ & (kPassword | kReadOnly))) return;
    Copy();
    Clear();
}

void SkEdit::Clear() {
    if (!HasSelection() || (style_ & kReadOnly)) return;
    ReplaceSelection(std::wstring(), false, true);
}

void SkEdit::Paste() {
    if ((style_ & kReadOnly) || !::OpenClipboard(EditWindow())) return;
    std::wstring text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        const size_t max = ::GlobalSize(data) / sizeof(wchar_t);
        if (const auto* src = static_cast<const wchar_t*>(::GlobalLock(data))) {
            size_t n = 0;
            while (n < max && src[n]) ++n;  // the block need not hold a terminator
            text.assign(src, n);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    text = NormaliseBreaks(text, (style_ & kMultiline) != 0);
    for (wchar_t& ch : text) {
        if (ch != L'\r' && ch != L'\n' && ch != L'\t' && !FilterChar(ch)) {
            EditBeep();  // a number field takes digits only
            return;
        }
    }
    if (!text.empty()) ReplaceSelection(text, false, true);
}

void SkEdit::SetSelection(int anchor, int caret) {
    typingRun_ = false;
    anchor_ = ClampIndex(anchor);
    caret_ = ClampIndex(caret);
    ScrollToCaret();
    UpdateCaret();
    EditInvalidate(nullptr);
}

void SkEdit::MoveCaret(int index, bool extend) { SetSelection(extend ? anchor_ : index, index); }

void SkEdit::Changed(bool notify) {
    layoutValid_ = false;
    ScrollToCaret();
    UpdateCaret();
    EditInvalidate(nullptr);
    if (!notify) return;
    EditNotify(kNotifyUpdate);
    EditNotify(kNotifyChange);
}

// ---- Movement --------------------------------------------------------------

int SkEdit::PrevChar(int index) const {
    if (index <= 0) return 0;
    --index;
    if (index > 0 && IsLowSurrogate(text_[index]) && IsHighSurrogate(text_[index - 1])) --index;
    if (index > 0 && text_[index] == L'\n' && text_[index - 1] == L'\r') --index;
    return index;
}

int SkEdit::NextChar(int index) const {
    const int size = static_cast<int>(text_.size());
    if (index >= size) return size;
    if (text_[index] == L'\r' && index + 1 < size && text_[index + 1] == L'\n') return index + 2;
    if (IsHighSurrogate(text_[index]) && index + 1 < size && IsLowSurrogate(text_[index + 1]))
        return index + 2;
    return index + 1;
}

int SkEdit::PrevWord(int index) const {
    if (style_ & kPassword) return 0;
    while (index > 0 && CharClass(text_[index - 1]) == 0) --index;
    if (index == 0) return 0;
    const int cls = CharClass(text_[index - 1]);
    while (index > 0 && CharClass(text_[index - 1]) == cls) --index;
    return index;
}

int SkEdit::NextWord(int index) const {
    const int size = static_cast<int>(text_.size());
    if (style_ & kPassword) return size;
    if (index < size) {
        const int cls = CharClass(text_[index]);
        while (index < size && CharClass(text_[index]) == cls && cls != 0) ++index;
    }
    while (index < size && CharClass(text_[index]) == 0) ++index;
    return index;
}

int SkEdit::LineStartOf(int index) {
    EnsureLayout();
    return FromDisplay(lines_[LineOfDisplay(ToDisplay(index))].start);
}

int SkEdit::LineEndOf(int index) {
    EnsureLayout();
    const Line& line = lines_[LineOfDisplay(ToDisplay(index))];
    int end = line.start + line.length;
    // A wrapped line ends before its trailing blanks' last one, so that End
    // does not put the caret at the start of the next line.
    if (end == line.next && end < static_cast<int>(display_.size()) && end > line.start) --end;
    return FromDisplay(end);
}

int SkEdit::VerticalMove(int index, int lines) {
    EnsureLayout();
    const int from = LineOfDisplay(ToDisplay(index));
    const Line& line = lines_[from];
    if (preferredX_ < 0) preferredX_ = line.x[std::min(ToDisplay(index) - line.start, line.length)];
    const int to = std::max(0, std::min(from + lines, static_cast<int>(lines_.size()) - 1));
    const Line& target = lines_[to];
    int best = 0;
    for (int k = 0; k <= target.length; ++k) {
        if (std::fabs(target.x[k] - preferredX_) < std::fabs(target.x[best] - preferredX_))
            best = k;
    }
    return FromDisplay(target.start + best);
}

// ---- Layout ----------------------------------------------------------------

std::wstring SkEdit::DisplayText() const {
    std::wstring shown = text_;
    if ((style_ & kPassword) && !(style_ & kMultiline)) shown.assign(text_.size(), maskChar_);
    shown.insert(std::min(static_cast<size_t>(caret_), shown.size()), composition_);
    return shown;
}

int SkEdit::ToDisplay(int index) const {
    return index < caret_ ? index : index + static_cast<int>(composition_.size());
}

int SkEdit::FromDisplay(int index) const {
    const int comp = static_cast<int>(composition_.size());
    if (index <= caret_) return index;
    return index < caret_ + comp ? caret_ : index - comp;
}

void SkEdit::EnsureLayout() {
    if (layoutValid_) return;
    layoutValid_ = true;
    display_ = DisplayText();
    lines_.clear();
    lineHeight_ = std::max(1, EditLineHeight());
    const int size = static_cast<int>(display_.size());
    if (!(style_ & kMultiline)) {
        BreakParagraph(0, size, -1);
        lines_.back().next = size;
        return;
    }
    const float width = static_cast<float>(rect_.right - rect_.left);
    for (int p = 0;;) {
        const size_t lf = display_.find(L'\n', p);
        const int end = lf == std::wstring::npos ? size : static_cast<int>(lf);
        const int contentEnd = (end > p && display_[end - 1] == L'\r') ? end - 1 : end;
        BreakParagraph(p, contentEnd, width);
        if (lf == std::wstring::npos) {
            lines_.back().next = size;
            break;
        }
        lines_.back().next = end + 1;
        p = end + 1;
    }
}

void SkEdit::BreakParagraph(int start, int end, float width) {
    const int n = end - start;
    const wchar_t* text = display_.c_str() + start;
    std::vector<float> x(n + 1, 0.0f);
    for (int k = 1; k <= n; ++k) x[k] = EditMeasure(text, k);
    auto addLine = [&](int s, int e) {
        Line line;
        line.start = start + s;
        line.length = e - s;
        line.next = start + e;
        line.x.reserve(e - s + 1);
        for (int k = s; k <= e; ++k) line.x.push_back(x[k] - x[s]);
        lines_.push_back(std::move(line));
    };
    if (width <= 0 || n == 0 || x[n] <= width) {
        addLine(0, n);
        return;
    }
    const std::vector<char> breaks = SoftBreaks(text, n);
    for (int s = 0; s < n;) {
        int fit = s + 1;
        while (fit < n && x[fit + 1] - x[s] <= width) ++fit;
        while (fit < n && std::iswspace(text[fit])) ++fit;  // blanks hang past the edge
        if (fit >= n) {
            addLine(s, n);
            break;
        }
        int cut = fit;
        while (cut > s && !breaks[cut]) --cut;
        if (cut == s) {
            cut = fit;  // one long word: break inside it, never inside a pair
            if (cut > s + 1 && IsLowSurrogate(text[cut])) --cut;
        }
        addLine(s, cut);
        s = cut;
    }
}

int SkEdit::LineCount() {
    EnsureLayout();
    return static_cast<int>(lines_.size());
}

int SkEdit::LineOfDisplay(int displayIndex) {
    const int last = static_cast<int>(lines_.size()) - 1;
    for (int i = 0; i < last; ++i) {
        if (displayIndex < lines_[i].next) return i;
    }
    return last;
}

float SkEdit::LineOffset(const Line& line) {
    const float width = static_cast<float>(rect_.right - rect_.left);
    const float used = line.x.back();
    float offset = 0;
    if (used < width) {
        if (style_ & kCenter) offset = std::floor((width - used) / 2);
        if (style_ & kRight) offset = width - used - 1;
    }
    return (style_ & kMultiline) ? offset : offset - scrollX_;
}

float SkEdit::TextTop() {
    if (style_ & kMultiline) return static_cast<float>(rect_.top);
    const int height = rect_.bottom - rect_.top;
    return static_cast<float>(rect_.top + std::max(0, (height - lineHeight_) / 2));
}

int SkEdit::VisibleLines() {
    EnsureLayout();
    return std::max(1, static_cast<int>(rect_.bottom - rect_.top) / lineHeight_);
}

POINT SkEdit::DisplayPoint(int displayIndex) {
    EnsureLayout();
    const int i = LineOfDisplay(displayIndex);
    const Line& line = lines_[i];
    const int k = std::max(0, std::min(displayIndex - line.start, line.length));
    const float x = static_cast<float>(rect_.left) + LineOffset(line) + line.x[k];
    const int row = (style_ & kMultiline) ? i - topLine_ : 0;
    return POINT{static_cast<LONG>(std::lround(x)),
                 static_cast<LONG>(TextTop()) + row * lineHeight_};
}

int SkEdit::HitTest(POINT pt) {
    EnsureLayout();
    int i = 0;
    if (style_ & kMultiline) {
        const float row = std::floor((pt.y - TextTop()) / lineHeight_);
        const long long at = static_cast<long long>(topLine_) + static_cast<long long>(row);
        i = static_cast<int>(
            std::max(0LL, std::min(at, static_cast<long long>(lines_.size()) - 1)));
    }
    const Line& line = lines_[i];
    const float lx = pt.x - rect_.left - LineOffset(line);
    int k = 0;
    while (k < line.length && lx > (line.x[k] + line.x[k + 1]) / 2) ++k;
    int index = FromDisplay(line.start + k);
    if (index > 0 && index < static_cast<int>(text_.size()) && IsLowSurrogate(text_[index]))
        --index;
    return index;
}

void SkEdit::ScrollToCaret() {
    EnsureLayout();
    const int d = ToDisplay(caret_);
    const int i = LineOfDisplay(d);
    if (style_ & kMultiline) {
        const int visible = VisibleLines();
        if (i < topLine_) topLine_ = i;
        if (i >= topLine_ + visible) topLine_ = i - visible + 1;
        const int maxTop = std::max(0, static_cast<int>(lines_.size()) - visible);
        topLine_ = std::max(0, std::min(topLine_, maxTop));
        return;
    }
    const Line& line = lines_[i];
    const float width = static_cast<float>(rect_.right - rect_.left);
    const float used = line.x.back();
    const float cx = line.x[std::max(0, std::min(d - line.start, line.length))];
    if (used < width) {
        scrollX_ = 0;
        return;
    }
    // Jumps by a quarter of the width, as the classic control, so typing at
    // the edge does not scroll on every character.
    if (cx - scrollX_ > width - 1) scrollX_ = cx - width + 1 + width / 4;
    if (cx - scrollX_ < 0) scrollX_ = cx - width / 4;
    scrollX_ = std::max(0.0f, std::min(scrollX_, used - width + 1));
}

void SkEdit::ScrollLines(int lines) {
    EnsureLayout();
    const int maxTop = std::max(0, static_cast<int>(lines_.size()) - VisibleLines());
    topLine_ = std::max(0, std::min(topLine_ + lines, maxTop));
    UpdateCaret();
    EditInvalidate(nullptr);
}

RECT SkEdit::CaretRect() {
    const POINT p = DisplayPoint(ToDisplay(caret_));
    return RECT{p.x, p.y, p.x + 1, p.y + lineHeight_};
}

void SkEdit::UpdateCaret() {
    if (!focused_) return;
    const RECT rc = CaretRect();
    EditSetCaretPos(rc.left, rc.top);
    HWND hwnd = EditWindow();
    HIMC imc = hwnd ? ::ImmGetContext(hwnd) : nullptr;
    if (!imc) return;
    POINT at = EditToScreen(POINT{rc.left, rc.top});
    ::ScreenToClient(hwnd, &at);
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = at;
    ::ImmSetCompositionWindow(imc, &form);
    ::ImmReleaseContext(hwnd, imc);
}

// ---- Focus and drawing -----------------------------------------------------

void SkEdit::OnEditFocus() {
    focused_ = true;
    EnsureLayout();
    EditCreateCaret(1, lineHeight_);
    UpdateCaret();
    EditShowCaret(true);
    EditInvalidate(nullptr);
}

void SkEdit::OnEditKillFocus() {
    focused_ = false;
    if (selecting_) EditReleaseCapture();
    selecting_ = false;
    EditShowCaret(false);
    EditInvalidate(nullptr);
}

void SkEdit::DrawEdit(DWORD textColor) {
    EnsureLayout();
    const bool multiline = (style_ & kMultiline) != 0;
    const int first = multiline ? topLine_ : 0;
    const int last =
        multiline ? std::min(static_cast<int>(lines_.size()), first + VisibleLines() + 1) : 1;
    const bool showSel = HasSelection() && (focused_ || (style_ & kNoHideSel));
    const int selA = ToDisplay(SelStart()), selB = ToDisplay(SelEnd());
    const int compA = caret_, compB = caret_ + static_cast<int>(composition_.size());
    for (int i = first; i < last; ++i) {
        const Line& line = lines_[i];
        const float left = static_cast<float>(rect_.left) + LineOffset(line);
        const float top = TextTop() + static_cast<float>((i - first) * lineHeight_);
        const wchar_t* text = display_.c_str() + line.start;
        if (line.length > 0) EditDrawRun(text, line.length, left, top, textColor);
        auto span = [&](int a, int b, int& ka, int& kb) {
            ka = std::max(a, line.start) - line.start;
            kb = std::min(b, line.start + line.length) - line.start;
            return kb > ka;
        };
        int ka = 0, kb = 0;
        if (showSel && span(selA, selB, ka, kb)) {
            const RECT r = {static_cast<LONG>(std::lround(left + line.x[ka])),
                            static_cast<LONG>(top),
                            static_cast<LONG>(std::lround(left + line.x[kb])),
                            static_cast<LONG>(top) + lineHeight_};
            EditFillRect(r, kHighlight);
            EditDrawRun(text + ka, kb - ka, left + line.x[ka], top, kHighlightText);
        }
        if (!composition_.empty() && span(compA, compB, ka, kb)) {
            const LONG base = static_cast<LONG>(top) + lineHeight_ - 1;
            const RECT r = {static_cast<LONG>(std::lround(left + line.x[ka])), base,
                            static_cast<LONG>(std::lround(left + line.x[kb])), base + 1};
            EditFillRect(r, textColor);
        }
    }
}
