#pragma once
// The self-drawn edit field: the SkEdit engine placed in a skinned window.
// It draws its background, its text (or its hint while empty) and its own
// blinking caret, and raises "edit_notify" for the engine's notifications
// and for Enter in a field that does not take it, and "ed_killfocus".
#include <memory>
#include <string>

#include "ui/GdiplusHeaders.h"
#include "ui/UICaret.h"
#include "ui/UIControl.h"
#include "ui/controls/SkEdit.h"

class UIEditCtrl : public UIControl, public SkEdit {
  public:
    UIEditCtrl();
    ~UIEditCtrl() override;

    // The style word of an "editstyle" value: every ES_* name found in it.
    static DWORD ParseEditStyle(const std::wstring& value);
    // The timer that blinks the caret.
    static constexpr int kCaretTimer = 1;

    const char* GetClassName() override { return "UIEditCtrl"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    UINT GetDialogCode() override;
    int OnSetCursor() override;
    void OnPositionChanged() override;

    Gdiplus::ARGB TextColor() const { return textColor_; }
    Gdiplus::ARGB HintColor() const { return hintColor_; }
    const std::wstring& Hint() const { return hint_; }
    // The caret is shown (it may be in its dark phase).
    bool CaretShown() const { return caretShown_; }
    bool CaretPhase() const { return caretPhase_; }

    // SkEdit's services.
    void EditInvalidate(const RECT* rect) override;
    void EditSetTimer(int id, UINT milliseconds) override;
    void EditKillTimer(int id) override;
    void EditCreateCaret(int width, int height) override;
    void EditShowCaret(bool show) override;
    void EditSetCaretPos(int x, int y) override;
    void EditSetCapture() override;
    void EditReleaseCapture() override;
    bool EditHasCapture() override;
    void EditSetFocus() override;
    bool EditHasFocus() override;
    void EditNotify(int code) override;
    HWND EditWindow() override;
    POINT EditPointFromMessage(LPARAM lParam) override;
    POINT EditToScreen(POINT pt) override;
    float EditMeasure(const wchar_t* text, int length) override;
    int EditLineHeight() override;
    void EditDrawRun(const wchar_t* text, int length, float x, float y, DWORD color) override;
    void EditFillRect(const RECT& rect, DWORD color) override;
    void EditBeep() override;

  private:
    Gdiplus::Font* Font();
    Gdiplus::Graphics& Scratch();
    void SyncRect();
    void SyncText();
    void InvalidateCaret();
    void PaintHint(Gdiplus::Graphics& graphics, const RECT& client);
    bool OnKeyDown(WPARAM key);

    Gdiplus::ARGB textColor_ = 0xFF000000;
    Gdiplus::ARGB hintColor_ = 0xFF999999;
    std::wstring hint_;
    UIRefPtr<UICaret> caret_;
    bool caretShown_ = false;
    bool caretPhase_ = false;
    Gdiplus::Graphics* painting_ = nullptr;
    std::unique_ptr<Gdiplus::StringFormat> format_;
    std::unique_ptr<Gdiplus::Bitmap> scratchBitmap_;
    std::unique_ptr<Gdiplus::Graphics> scratch_;
};
