#pragma once
// The editing engine of the self-drawn edit field. It follows the classic
// platform edit control: its style bits, its messages (selection,
// replacement, limits, undo, scrolling, line queries, clipboard) and its
// change notifications. It owns the text, the selection, the undo state and
// the line layout, and asks its owner through virtual slots for everything
// that depends on where it lives: repainting, timers, the caret, capture,
// focus, notifications, coordinates, text measurement and drawing.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

class SkEdit {
  public:
    // Edit styles (values of the platform's ES_* bits).
    enum : DWORD {
        kCenter = 0x0001,
        kRight = 0x0002,
        kMultiline = 0x0004,
        kUppercase = 0x0008,
        kLowercase = 0x0010,
        kPassword = 0x0020,
        kAutoVScroll = 0x0040,
        kAutoHScroll = 0x0080,
        kNoHideSel = 0x0100,
        kOemConvert = 0x0400,
        kReadOnly = 0x0800,
        kWantReturn = 0x1000,
        kNumber = 0x2000,
    };
    // Notification codes (EN_CHANGE, EN_UPDATE).
    static constexpr int kNotifyChange = 0x0300;
    static constexpr int kNotifyUpdate = 0x0400;
    // The classic control's initial text limit.
    static constexpr int kDefaultLimit = 30000;
    static constexpr wchar_t kMaskChar = L'*';

    // The standard edit menu's six commands, by their menu position.
    enum MenuPosition {
        kMenuUndo = 0,
        kMenuCut = 2,
        kMenuCopy = 3,
        kMenuPaste = 4,
        kMenuDelete = 5,
        kMenuSelectAll = 7
    };
    struct MenuStates {
        bool undo = false, cut = false, copy = false, paste = false, del = false, selectAll = false;
    };

    SkEdit() = default;
    virtual ~SkEdit() = default;
    SkEdit(const SkEdit&) = delete;
    SkEdit& operator=(const SkEdit&) = delete;

    // The engine's message handler; false for messages it does not take.
    bool EditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Style word and rectangle (in the owner's coordinates).
    void InitEdit(const RECT& rect, DWORD style);
    void SetEditRect(const RECT& rect);
    void SetEditStyle(DWORD style);
    DWORD EditStyle() const { return style_; }
    // The font or its metrics changed: the layout is measured again.
    void InvalidateLayout();

    const std::wstring& EditText() const { return text_; }
    void SetEditText(const std::wstring& text);
    int SelStart() const { return std::min(anchor_, caret_); }
    int SelEnd() const { return std::max(anchor_, caret_); }
    int CaretIndex() const { return caret_; }
    bool HasSelection() const { return anchor_ != caret_; }
    bool CanUndo() const { return canUndo_; }
    int LineCount();
    int FirstVisibleLine() const { return topLine_; }
    float ScrollX() const { return scrollX_; }
    // The enabling rules of the context menu's commands.
    MenuStates GetMenuStates();
    // Runs the command at a menu position; false for other positions.
    bool RunMenuCommand(int position);

    // Focus changes (the owner calls them): the caret is made and shown, or
    // hidden.
    void OnEditFocus();
    void OnEditKillFocus();
    // Draws the visible lines with the selection highlighted.
    void DrawEdit(DWORD textColor);
    // The caret's rectangle in owner coordinates.
    RECT CaretRect();

    // Services of the owner, in slot order.
    virtual void EditInvalidate(const RECT* rect) = 0;
    virtual void EditSetTimer(int id, UINT milliseconds) = 0;
    virtual void EditKillTimer(int id) = 0;
    virtual void EditCreateCaret(int width, int height) = 0;
    virtual void EditShowCaret(bool show) = 0;
    virtual void EditSetCaretPos(int x, int y) = 0;
    virtual void EditSetCapture() = 0;
    virtual void EditReleaseCapture() = 0;
    virtual bool EditHasCapture() = 0;
    virtual void EditSetFocus() = 0;
    virtual bool EditHasFocus() = 0;
    virtual void EditNotify(int code) = 0;
    // The window that owns the clipboard, the menu and the input context.
    virtual HWND EditWindow() = 0;
    // Owner coordinates of a mouse message's lParam.
    virtual POINT EditPointFromMessage(LPARAM lParam) = 0;
    virtual POINT EditToScreen(POINT pt) = 0;
    // Width in pixels of a run of text in the engine's font.
    virtual float EditMeasure(const wchar_t* text, int length) = 0;
    virtual int EditLineHeight() = 0;
    virtual void EditDrawRun(const wchar_t* text, int length, float x, float y, DWORD color) = 0;
    virtual void EditFillRect(const RECT& rect, DWORD color) = 0;
    virtual void EditBeep() {}
    // Shows the context menu at a screen point; the chosen menu position or
    // -1. The default shows the platform's standard edit menu.
    virtual int EditTrackMenu(POINT screen, const MenuStates& states);

  private:
    struct Line {
        int start = 0;         // in the display text
        int length = 0;        // characters shown, without the line break
        int next = 0;          // start of the following line
        std::vector<float> x;  // length + 1 offsets from the line's left edge
    };
    struct UndoState {
        std::wstring text;
        int anchor = 0, caret = 0;
    };

    // Messages.
    bool OnKeyDown(UINT key, LRESULT& result);
    bool OnChar(wchar_t ch);
    bool OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnWheel(int delta);
    bool OnImeComposition(LPARAM lParam);
    bool OnEditCommand(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnLineQuery(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ShowContextMenu(LPARAM lParam);

    // Editing.
    void ReplaceSelection(std::wstring insert, bool typing, bool notify);
    void TypeText(const std::wstring& input);
    bool FilterChar(wchar_t& ch) const;
    void DeleteBackward();
    void DeleteForward();
    void SaveUndo(bool typing);
    void Undo();
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void SelectAll() { SetSelection(0, static_cast<int>(text_.size())); }
    void SetSelection(int anchor, int caret);
    void MoveCaret(int index, bool extend);
    void Changed(bool notify);
    int ClampIndex(int index) const;

    // Movement.
    int PrevChar(int index) const;
    int NextChar(int index) const;
    int PrevWord(int index) const;
    int NextWord(int index) const;
    int LineStartOf(int index);
    int LineEndOf(int index);
    int VerticalMove(int index, int lines);

    // Layout and geometry.
    void EnsureLayout();
    void BreakParagraph(int start, int end, float width);
    std::wstring DisplayText() const;
    int ToDisplay(int index) const;
    int FromDisplay(int index) const;
    int LineOfDisplay(int displayIndex);
    float LineOffset(const Line& line);
    float TextTop();
    int VisibleLines();
    POINT DisplayPoint(int displayIndex);
    int HitTest(POINT pt);
    void ScrollToCaret();
    void ScrollLines(int lines);
    void UpdateCaret();

    std::wstring text_;
    std::wstring composition_;
    DWORD style_ = 0;
    RECT rect_ = {0, 0, 0, 0};
    int anchor_ = 0;
    int caret_ = 0;
    int limit_ = kDefaultLimit;
    wchar_t maskChar_ = kMaskChar;
    bool modified_ = false;
    UndoState undo_;
    bool canUndo_ = false;
    bool typingRun_ = false;
    float scrollX_ = 0;
    int topLine_ = 0;
    float preferredX_ = -1;  // kept across up and down moves
    bool layoutValid_ = false;
    std::wstring display_;
    std::vector<Line> lines_;
    int lineHeight_ = 1;
    bool focused_ = false;
    bool selecting_ = false;
};
