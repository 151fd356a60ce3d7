#include "ui/controls/UIEditCtrl.h"

#include <cmath>

#include "ui/AttributeParse.h"
#include "ui/ControlTimer.h"
#include "ui/TextDraw.h"
#include "ui/UIFont.h"
#include "ui/controls/LocalPoint.h"

namespace {

constexpr UINT kWantArrows = 0x01, kWantTab = 0x02, kWantChars = 0x80;
// The caret blinks again from its bright phase after every move.
constexpr UINT kCaretMoveBlink = 1000;
constexpr Gdiplus::TextRenderingHint kTextHint = Gdiplus::TextRenderingHintAntiAliasGridFit;

const struct {
    const wchar_t* name;
    DWORD bit;
} kEditStyles[] = {
    {L"ES_CENTER", 0x0001},      {L"ES_RIGHT", 0x0002},       {L"ES_MULTILINE", 0x0004},
    {L"ES_UPPERCASE", 0x0008},   {L"ES_LOWERCASE", 0x0010},   {L"ES_PASSWORD", 0x0020},
    {L"ES_AUTOVSCROLL", 0x0040}, {L"ES_AUTOHSCROLL", 0x0080}, {L"ES_NOHIDESEL", 0x0100},
    {L"ES_OEMCONVERT", 0x0400},  {L"ES_READONLY", 0x0800},    {L"ES_WANTRETURN", 0x1000},
    {L"ES_NUMBER", 0x2000},
};

}  // namespace

UIEditCtrl::UIEditCtrl() {
    SetStyleB(kStyleFocusable, true);
    format_.reset(Gdiplus::StringFormat::GenericTypographic()->Clone());
    if (format_) {
        format_->SetFormatFlags(format_->GetFormatFlags() |
                                Gdiplus::StringFormatFlagsMeasureTrailingSpaces |
                                Gdiplus::StringFormatFlagsNoWrap);
    }
}

UIEditCtrl::~UIEditCtrl() = default;

DWORD UIEditCtrl::ParseEditStyle(const std::wstring& value) {
    DWORD style = 0;
    for (const auto& s : kEditStyles) {
        if (value.find(s.name) != std::wstring::npos) style |= s.bit;
    }
    return style;
}

void UIEditCtrl::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"clr") {
        textColor_ = ParseColor(value);
        Invalidate(nullptr);
    } else if (name == L"clrhint") {
        hintColor_ = ParseColor(value);
        Invalidate(nullptr);
    } else if (name == L"hint") {
        hint_ = value;
        Invalidate(nullptr);
    } else if (name == L"editstyle") {
        SetEditStyle(ParseEditStyle(value));
        // A text set before the style follows the single- or multi-line rule.
        if (!EditText().empty()) SetEditText(EditText());
        SyncText();
    } else {
        UIControl::SetAttribute(name, value);
        if (name == L"font") InvalidateLayout();
    }
}

// ---- Messages ----------------------------------------------------------------

bool UIEditCtrl::OnKeyDown(WPARAM key) {
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (key == VK_RETURN && !ctrl && !(EditStyle() & kWantReturn)) {
        Notify("edit_notify", 13, 0);
        return true;
    }
    LRESULT ignored = 0;
    return EditMessage(WM_KEYDOWN, key, 0, ignored);
}

bool UIEditCtrl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_SETFOCUS:
            SetHandled();
            Invalidate(nullptr);
            SyncRect();
            OnEditFocus();
            return true;
        case WM_KILLFOCUS:
            OnEditKillFocus();  // hides the caret, stops its timer, repaints its area
            Notify("ed_killfocus", 0, 0);
            return true;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) {
                SyncText();
                return true;
            }
            return UIControl::HandleMessage(msg, wParam, lParam, result);
        case WM_TIMER:
            if (static_cast<int>(wParam) == kCaretTimer) {
                caretPhase_ = !caretPhase_;
                InvalidateCaret();
                return true;
            }
            break;
        case WM_SIZE:
            UIControl::HandleMessage(msg, wParam, lParam, result);
            SyncRect();
            return true;
        case WM_SHOWWINDOW:
            // The base keeps the hidden state; the engine has nothing to do.
            return UIControl::HandleMessage(msg, wParam, lParam, result);
        default:
            break;
    }
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_MOUSEMOVE) SyncRect();
    if (EditMessage(msg, wParam, lParam, result)) {
        SyncText();
        return true;
    }
    return UIControl::HandleMessage(msg, wParam, lParam, result);
}

UINT UIEditCtrl::GetDialogCode() {
    return kWantArrows | kWantChars | ((EditStyle() & kMultiline) ? kWantTab : 0);
}

int UIEditCtrl::OnSetCursor() {
    ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
    return 1;
}

void UIEditCtrl::OnPositionChanged() { SyncRect(); }

void UIEditCtrl::SyncRect() {
    RECT client;
    GetClientRect(client);
    SetEditRect(client);
}

void UIEditCtrl::SyncText() {
    if (GetText() != EditText()) SetText(EditText());
}

// ---- Painting -----------------------------------------------------------------

void UIEditCtrl::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    SyncRect();
    RECT client;
    GetClientRect(client);
    const Gdiplus::GraphicsState saved = graphics.Save();
    graphics.SetClip(Gdiplus::Rect(client.left, client.top, client.right - client.left,
                                   client.bottom - client.top),
                     Gdiplus::CombineModeIntersect);
    graphics.SetTextRenderingHint(kTextHint);
    if (EditText().empty() && !hint_.empty()) {
        PaintHint(graphics, client);
    } else {
        painting_ = &graphics;
        DrawEdit(textColor_);
        painting_ = nullptr;
    }
    if (caretShown_ && caretPhase_ && caret_) {
        const RECT rc = caret_->Rect();
        Gdiplus::SolidBrush brush{Gdiplus::Color(textColor_)};
        graphics.FillRectangle(&brush, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                               caret_->Width(), caret_->Height());
    }
    graphics.Restore(saved);
}

void UIEditCtrl::PaintHint(Gdiplus::Graphics& graphics, const RECT& client) {
    UITextOptions options;
    const DWORD style = EditStyle();
    options.horz = (style & kCenter) ? 1 : (style & kRight) ? 2 : 0;
    options.singleLine = !(style & kMultiline);
    options.vert = options.singleLine ? 1 : 0;
    DrawTextInRect(graphics, client, hint_, Font(), hintColor_, options);
}

// ---- Engine services -------------------------------------------------------------

Gdiplus::Font* UIEditCtrl::Font() {
    const std::wstring& spec = GetAttribute(L"font");
    IUIContainer* host = GetHost();
    if (host) return host->GetFont(spec);
    return DefaultFont();
}

Gdiplus::Graphics& UIEditCtrl::Scratch() {
    if (!scratch_) {
        scratchBitmap_ = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppPARGB);
        scratch_ = std::make_unique<Gdiplus::Graphics>(scratchBitmap_.get());
        scratch_->SetTextRenderingHint(kTextHint);
    }
    return *scratch_;
}

float UIEditCtrl::EditMeasure(const wchar_t* text, int length) {
    Gdiplus::Font* font = Font();
    if (!font || length <= 0) return 0;
    Gdiplus::RectF box;
    Scratch().MeasureString(text, length, font, Gdiplus::PointF(0, 0), format_.get(), &box);
    return box.Width;
}

int UIEditCtrl::EditLineHeight() {
    Gdiplus::Font* font = Font();
    return font ? static_cast<int>(std::ceil(font->GetHeight(&Scratch()))) : 16;
}

void UIEditCtrl::EditDrawRun(const wchar_t* text, int length, float x, float y, DWORD color) {
    Gdiplus::Font* font = Font();
    if (!painting_ || !font || length <= 0) return;
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    painting_->DrawString(text, length, font, Gdiplus::PointF(x, y), format_.get(), &brush);
}

void UIEditCtrl::EditFillRect(const RECT& rect, DWORD color) {
    if (!painting_) return;
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    painting_->FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                             static_cast<INT>(rect.right - rect.left),
                             static_cast<INT>(rect.bottom - rect.top));
}

void UIEditCtrl::EditInvalidate(const RECT* rect) { Invalidate(rect); }

void UIEditCtrl::EditSetTimer(int id, UINT milliseconds) {
    SetControlTimer(this, id, milliseconds);
}

void UIEditCtrl::EditKillTimer(int id) { KillControlTimer(this, id); }

void UIEditCtrl::InvalidateCaret() {
    if (!caret_) return;
    const RECT rc = caret_->Rect();
    if (rc.left > UICaret::kFarAway) Invalidate(&rc);
}

void UIEditCtrl::EditCreateCaret(int width, int height) {
    InvalidateCaret();
    caret_ = UIRefPtr<UICaret>::Adopt(new UICaret(nullptr, width, height));
}

void UIEditCtrl::EditShowCaret(bool show) {
    caretShown_ = show;
    caretPhase_ = show;
    if (show) {
        SetControlTimer(this, kCaretTimer, ::GetCaretBlinkTime());
    } else {
        KillControlTimer(this, kCaretTimer);
    }
    InvalidateCaret();
}

void UIEditCtrl::EditSetCaretPos(int x, int y) {
    if (!caret_) return;
    InvalidateCaret();
    caret_->SetPos(x, y);
    if (caretShown_) {
        caretPhase_ = true;
        SetControlTimer(this, kCaretTimer, kCaretMoveBlink);
    }
    InvalidateCaret();
}

void UIEditCtrl::EditSetCapture() {
    if (IUIContainer* host = GetHost()) host->CaptureControl(Handle());
}

void UIEditCtrl::EditReleaseCapture() {
    IUIContainer* host = GetHost();
    if (host && host->GetCapturedControl() == Handle()) host->ReleaseControlCapture();
}

bool UIEditCtrl::EditHasCapture() {
    IUIContainer* host = GetHost();
    return host && host->GetCapturedControl() == Handle();
}

void UIEditCtrl::EditSetFocus() {
    IUIContainer* host = GetHost();
    if (host && host->GetFocusedControl() != Handle()) host->FocusControl(Handle(), 0);
}

bool UIEditCtrl::EditHasFocus() {
    IUIContainer* host = GetHost();
    return host && host->GetFocusedControl() == Handle();
}

void UIEditCtrl::EditNotify(int code) {
    SyncText();
    Notify("edit_notify", static_cast<WPARAM>(code), 0);
}

HWND UIEditCtrl::EditWindow() {
    IUIContainer* host = GetHost();
    return host ? host->GetHwnd() : nullptr;
}

POINT UIEditCtrl::EditPointFromMessage(LPARAM lParam) { return LocalPoint(*this, lParam); }

POINT UIEditCtrl::EditToScreen(POINT pt) {
    RECT screen;
    GetScreenRect(screen);
    return POINT{screen.left + pt.x, screen.top + pt.y};
}

void UIEditCtrl::EditBeep() { ::MessageBeep(MB_OK); }
