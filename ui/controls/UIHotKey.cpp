#include "ui/controls/UIHotKey.h"

#include <algorithm>

#include "ui/ControlTimer.h"
#include "ui/GdiplusHeaders.h"
#include "ui/StateIndex.h"
#include "ui/TextDraw.h"

namespace {

constexpr size_t kMaxKeyName = 260;
constexpr int kCaretMargin = 10;

bool KeyIsDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

// Keys whose scan code is shared with a key of the numeric keypad (or is
// otherwise a second key's) and tells them apart only by the extended flag.
bool IsExtendedKey(UINT vk) {
    switch (vk) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_SNAPSHOT:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
        case VK_RCONTROL:
        case VK_RMENU:
            return true;
        default:
            return false;
    }
}

// Keys that clear the hot key instead of becoming one.
bool ClearsHotKey(UINT vk) {
    return vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE ||
           vk == VK_DELETE;
}

}  // namespace

UIHotKey::UIHotKey() { SetStyleB(kStyleFocusable, true); }

// ---- Key names -----------------------------------------------------------------

std::wstring UIHotKey::KeyName(UINT vk) {
    // The extended flag tells Delete from the keypad's Del and the arrows
    // from the keypad's digits, which share the plain scan codes. Not every
    // keyboard driver reports the flag in the mapping, hence the list too.
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    const bool extended =
        (scan & 0xFF00) == 0xE000 || (scan & 0xFF00) == 0xE100 || IsExtendedKey(vk);
    const LONG lParam = static_cast<LONG>(((scan & 0xFF) << 16) | (extended ? (1u << 24) : 0));
    wchar_t name[kMaxKeyName + 1] = {};
    const int n = ::GetKeyNameTextW(lParam, name, static_cast<int>(kMaxKeyName + 1));
    return std::wstring(name, static_cast<size_t>(std::clamp(n, 0, static_cast<int>(kMaxKeyName))));
}

std::wstring UIHotKey::HotKeyText(uint32_t code) {
    if (code == 0) return std::wstring();
    std::wstring text;
    const auto add = [&text](const std::wstring& name) {
        if (!text.empty()) text += L'+';
        text += name;
    };
    if (code & kCtrlBit) add(KeyName(VK_CONTROL));
    if (code & kShiftBit) add(KeyName(VK_SHIFT));
    if (code & kAltBit) add(KeyName(VK_MENU));
    add(KeyName(code & 0xFFFF));
    return text;
}

// ---- Keyboard ----------------------------------------------------------------

void UIHotKey::SetHotKey(uint32_t code) {
    if (code == code_) return;
    code_ = code;
    const std::wstring text = HotKeyText(code);
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Invalidate(nullptr);
}

void UIHotKey::OnKeyDown(UINT vk) {
    if (ClearsHotKey(vk)) {
        SetHotKey(0);
        return;
    }
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MBUTTON) return;
    uint32_t code = vk & 0xFFFF;
    if (KeyIsDown(VK_SHIFT)) code |= kShiftBit;
    if (KeyIsDown(VK_CONTROL)) code |= kCtrlBit;
    if (KeyIsDown(VK_MENU)) code |= kAltBit;
    SetHotKey(code);
}

// ---- Focus and caret -------------------------------------------------------------

bool UIHotKey::HasFocus() {
    IUIContainer* host = GetHost();
    return host && host->GetFocusedControl() == Handle();
}

void UIHotKey::OnSetFocus() {
    caretHeight_ = std::max(Height() - kCaretMargin, 0);
    caret_ = UIRefPtr<UICaret>::Adopt(new UICaret(nullptr, 1, caretHeight_));
    caretPhase_ = true;
    const UINT blink = ::GetCaretBlinkTime();
    // No blinking (INFINITE) leaves the caret shown.
    if (blink != 0 && blink != INFINITE) SetControlTimer(this, kCaretTimer, blink);
    Invalidate(nullptr);
}

void UIHotKey::OnKillFocus() {
    KillControlTimer(this, kCaretTimer);
    caret_.reset();
    caretPhase_ = false;
    Invalidate(nullptr);
}

RECT UIHotKey::CaretRect(Gdiplus::Graphics& graphics) {
    if (!caret_ || !HasFocus()) return RECT{0, 0, 0, 0};
    RECT text;
    GetTextRect(text);
    const std::wstring& spec = GetTextRender()->FontSpec(GetStateIndex(this));
    const SIZE size = GetText().empty() ? SIZE{0, 0}
                                        : MeasureText(graphics, GetText(),
                                                      UIRenderText::FontFor(GetHost(), spec));
    const int x = std::clamp<int>(text.left + size.cx, 0, std::max(Width() - 1, 0));
    const int top = (Height() - caret_->Height()) / 2;
    return RECT{x, top, x + caret_->Width(), top + caret_->Height()};
}

void UIHotKey::Paint(Gdiplus::Graphics& graphics) {
    UILabel::Paint(graphics);
    if (!caretPhase_) return;
    const RECT caret = CaretRect(graphics);
    if (::IsRectEmpty(&caret)) return;
    Gdiplus::SolidBrush brush{Gdiplus::Color(kCaretColor)};
    graphics.FillRectangle(&brush, Gdiplus::Rect(caret.left, caret.top, caret.right - caret.left,
                                                 caret.bottom - caret.top));
}

bool UIHotKey::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam));
            return true;
        case WM_SYSKEYDOWN:
            return true;
        case WM_SETFOCUS:
            OnSetFocus();
            return true;
        case WM_KILLFOCUS:
            OnKillFocus();
            return true;
        case WM_TIMER:
            if (wParam != kCaretTimer) break;
            caretPhase_ = !caretPhase_;
            Invalidate(nullptr);
            return true;
        case WM_LBUTTONDOWN: {
            IUIContainer* host = GetHost();
            const bool usable =
                IsEnableBit() && IsVisibleBit() && !(GetState() & (kStateHidden | kStateDisabled));
            if (host && usable) host->FocusControl(Handle(), 0);
            return true;
        }
        case WM_DESTROY:
            KillControlTimer(this, kCaretTimer);
            break;
        default:
            break;
    }
    return UILabel::HandleMessage(msg, wParam, lParam, result);
}
