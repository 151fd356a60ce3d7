#include "ui/UIContainer.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/GdiplusHeaders.h"
#include "ui/UIControlRegistry.h"
#include "ui/UIFont.h"

namespace {

constexpr UINT kWantAllKeys = 0x04;  // dialog code: system keys go to the control too
constexpr UINT kMouseHWheel = 0x020E;

UIControl* Resolve(uint32_t handle) { return UIControlRegistry::Instance().Find(handle); }

bool IsDisabled(const UIControl* c) { return (c->GetState() & UIControl::kStateDisabled) != 0; }

bool IsShown(const UIControl* c) {
    return c->IsVisibleBit() && (c->GetState() & UIControl::kStateHidden) == 0;
}

bool IsSelfOrAncestor(const UIControl* ancestor, const UIControl* c) {
    for (; c; c = c->GetParent()) {
        if (c == ancestor) return true;
    }
    return false;
}

bool IsButtonMessage(UINT msg) {
    return (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) ||
           (msg >= WM_XBUTTONDOWN && msg <= WM_XBUTTONDBLCLK) || msg == WM_MOUSEHOVER;
}

bool IsKeyboardMessage(UINT msg) {
    return (msg >= WM_KEYDOWN && msg <= WM_UNICHAR) ||
           (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_COMPOSITION) || msg == WM_IME_CHAR;
}

}  // namespace

void UIContainer::FontDeleter::operator()(Gdiplus::Font* font) const { delete font; }

UIContainer::UIContainer() : focus_(this, this) {}

UIContainer::~UIContainer() = default;

UIControl* UIContainer::Captured() { return Resolve(captured_); }

// ---- Capture, hover, tracking, focus --------------------------------------

uint32_t UIContainer::CaptureControl(uint32_t control) {
    UIControl* c = Resolve(control);
    if (!c || IsDisabled(c)) return captured_;
    if (HWND hwnd = GetHwnd()) ::SetCapture(hwnd);
    return std::exchange(captured_, control);
}

void UIContainer::ReleaseControlCapture() {
    captured_ = 0;
    HWND hwnd = GetHwnd();
    if (!hwnd) return;
    if (::GetCapture() == hwnd) ::ReleaseCapture();
    // Hover state was frozen while captured; a move at the cursor refreshes it.
    POINT pt;
    if (::GetCursorPos(&pt) && ::ScreenToClient(hwnd, &pt)) {
        ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    }
}

void UIContainer::FocusControl(uint32_t control, int reason) {
    HWND hwnd = GetHwnd();
    if (control && hwnd && ::GetFocus() != hwnd &&
        !(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        ::SetFocus(hwnd);
    }
    focus_.FocusControl(control, reason);
}

void UIContainer::AddTracked(uint32_t control) {
    if (std::find(tracked_.begin(), tracked_.end(), control) == tracked_.end())
        tracked_.push_back(control);
}

void UIContainer::RemoveTracked(uint32_t control) { tracked_.remove(control); }

void UIContainer::SetHover(UIControl* control) {
    const uint32_t handle = control ? control->Handle() : 0;
    if (handle == hover_) return;
    UIRefPtr<UIControl> previous(Resolve(hover_));
    hover_ = handle;
    // A tracked control leaves by subtree, not when a child takes the hover.
    if (previous && !previous->IsTrack()) previous->SendMessage(WM_MOUSELEAVE, 0, 0);
    if (control) {
        UIRefPtr<UIControl> keep(control);
        // Track ancestors join too: the pointer may reach a child of one
        // without ever passing over the ancestor's own area.
        for (UIControl* c = control; c && c != this; c = c->GetParent()) {
            if (c->IsTrack()) AddTracked(c->Handle());
        }
        control->SendMessage(WM_MOUSEHOVER, 0, 0);
    }
    ShowTooltip(control);
}

void UIContainer::ExamineTracked(UIControl* target, POINT pt) {
    const std::list<uint32_t> tracked = tracked_;  // handlers may change the list
    for (uint32_t handle : tracked) {
        UIRefPtr<UIControl> c(Resolve(handle));
        if (!c || !focus_.BelongsToTree(c.get())) {
            RemoveTracked(handle);
            continue;
        }
        if (!IsShown(c.get())) continue;
        const bool entered = target ? IsSelfOrAncestor(c.get(), target) : c->HitTestPoint(pt);
        const bool hovered = (c->GetState() & kStateHover) != 0;
        if (entered && !hovered) c->SendMessage(WM_MOUSEHOVER, 0, 0);
        if (!entered && hovered) c->SendMessage(WM_MOUSELEAVE, 0, 0);
    }
}

Gdiplus::Font* UIContainer::GetFont(const std::wstring& spec) {
    if (spec.empty()) return DefaultFont();
    auto it = fonts_.find(spec);
    if (it != fonts_.end()) return it->second.get();
    Gdiplus::Font* font = CreateFontForSpec(spec);
    if (!font) return DefaultFont();
    fonts_[spec].reset(font);
    return font;
}

// ---- Routing --------------------------------------------------------------

bool UIContainer::DispatchInput(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEMOVE) return RouteMouseMove(wParam, lParam);
    if (IsButtonMessage(msg)) return RouteButton(msg, wParam, lParam);
    if (msg == WM_MOUSEWHEEL || msg == kMouseHWheel) return RouteWheel(msg, wParam, lParam);
    if (msg == WM_MOUSELEAVE) return RouteLeave();
    if (msg == WM_SETCURSOR) return RouteSetCursor();
    if (msg == WM_KILLFOCUS) {
        focus_.OnNativeFocusLost();
        return false;
    }
    if (msg == WM_SETFOCUS) {
        focus_.OnNativeFocusGained();
        return false;
    }
    if (IsKeyboardMessage(msg)) return RouteKey(msg, wParam, lParam);
    return false;
}

bool UIContainer::RouteMouseMove(WPARAM wParam, LPARAM lParam) {
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    UIRefPtr<UIControl> target(Captured());
    if (!target) target = UIRefPtr<UIControl>(FindControlAt(pt.x, pt.y));
    SetHover(target.get());
    bool handled = false;
    if (target) target->SendMessage(WM_MOUSEMOVE, wParam, lParam, &handled);
    ExamineTracked(target.get(), pt);
    return handled;
}

bool UIContainer::RouteButton(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    if (UIRefPtr<UIControl> captured{Captured()}) {
        captured->SendMessage(msg, wParam, lParam, &handled);
        return handled;
    }
    UIRefPtr<UIControl> target(FindControlAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    hover_ = target ? target->Handle() : 0;
    if (msg == WM_LBUTTONDOWN && (!target || target->Handle() != focus_.Focused())) {
        focus_.FocusControl(0, 0);
    }
    if (!target || IsDisabled(target.get())) return false;
    target->SendMessage(msg, wParam, lParam, &handled);
    return handled;
}

bool UIContainer::RouteWheel(UINT msg, WPARAM wParam, LPARAM lParam) {
    UIRefPtr<UIControl> target(Captured());
    if (!target)
        target = UIRefPtr<UIControl>(FindControlAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    SetHover(target.get());
    if (!target || IsDisabled(target.get())) return false;
    bool handled = false;
    target->SendMessage(msg, wParam, lParam, &handled);
    return handled;
}

bool UIContainer::RouteLeave() {
    if (UIRefPtr<UIControl> captured{Captured()}) captured->SendMessage(WM_MOUSELEAVE, 0, 0);
    UIRefPtr<UIControl> hover(Resolve(hover_));
    hover_ = 0;
    if (hover) hover->SendMessage(WM_MOUSELEAVE, 0, 0);
    const std::list<uint32_t> tracked = tracked_;
    for (uint32_t handle : tracked) {
        UIRefPtr<UIControl> c(Resolve(handle));
        if (!c || !focus_.BelongsToTree(c.get())) {
            RemoveTracked(handle);
        } else if (IsShown(c.get()) && (c->GetState() & kStateHover)) {
            c->SendMessage(WM_MOUSELEAVE, 0, 0);
        }
    }
    hover_ = 0;
    return true;
}

bool UIContainer::RouteSetCursor() {
    UIRefPtr<UIControl> c(Captured());
    if (!c) c = UIRefPtr<UIControl>(Resolve(hover_));
    if (!c || IsDisabled(c.get())) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return true;
    }
    return c->OnSetCursor() != 0;
}

bool UIContainer::SendToFocused(UINT msg, WPARAM wParam, LPARAM lParam) {
    UIRefPtr<UIControl> focused(Resolve(focus_.Focused()));
    if (!focused) return false;
    bool handled = false;
    focused->SendMessage(msg, wParam, lParam, &handled);
    return handled;
}

bool UIContainer::RouteKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) {
        // Only a control that wants every key gets them; otherwise Alt+F4
        // and the system menu keep working.
        UIControl* focused = Resolve(focus_.Focused());
        if (!focused || !(focused->GetDialogCode() & kWantAllKeys)) return false;
        return SendToFocused(msg, wParam, lParam);
    }
    if (msg == WM_KEYDOWN) {
        if (focus_.HandleKey(static_cast<UINT>(wParam))) return true;
        return SendToFocused(msg, wParam, lParam);
    }
    if (::GetKeyState(VK_MENU) & 0x8000) {
        UINT key = static_cast<UINT>(wParam);
        if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
        if (focus_.HandleKey(key)) return true;
    }
    return SendToFocused(msg, wParam, lParam);
}
