#include "ui/controls/UINativeEdit.h"

#include "ui/AttributeParse.h"
#include "ui/UIFont.h"

namespace {

// Messages after which the window's text may differ from the control's.
bool MayChangeText(UINT msg) {
    return msg == WM_CHAR || msg == WM_KEYDOWN || msg == WM_PASTE || msg == WM_CUT ||
           msg == WM_CLEAR || msg == WM_UNDO || msg == EM_UNDO || msg == EM_REPLACESEL ||
           msg == WM_IME_CHAR || msg == WM_IME_COMPOSITION;
}

}  // namespace

void UINativeEdit::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"nspassword") {
        password_ = ParseBool(value);
    } else if (name == L"nsmultiline") {
        multiline_ = ParseBool(value);
    } else if (name == L"nsborder") {
        border_ = ParseBool(value);
    } else if (name == L"font") {
        const int size = ParseFontSpec(value).size;
        fontSize_ = size > 0 ? size : kDefaultFontSize;
    }
    UINativeCtrl::SetAttribute(name, value);
}

DWORD UINativeEdit::GetNativeStyle() {
    return kBaseStyle | (password_ ? ES_PASSWORD : 0) | (multiline_ ? ES_MULTILINE : 0) |
           (border_ ? WS_BORDER : 0);
}

bool UINativeEdit::EnsureNativeWindow() {
    if (NativeHwnd()) return true;
    IUIContainer* host = GetHost();
    HWND parent = host ? host->GetHwnd() : nullptr;
    if (!parent) return false;
    RECT rc;
    GetNativeRect(rc);
    // Created hidden; OnNativeCreated shows it unless the control is hidden.
    HWND hwnd = ::CreateWindowExW(0, GetNativeClassName(), GetNativeText().c_str(),
                                  GetNativeStyle() & ~WS_VISIBLE, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, parent, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    AttachNativeWindow(hwnd);
    return true;
}

void UINativeEdit::OnNativeCreated() {
    font_.reset(::CreateFontW(-fontSize_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    if (font_) ::SendMessageW(NativeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    UINativeCtrl::OnNativeCreated();
}

void UINativeEdit::PlaceNativeWindow() {
    HWND hwnd = NativeHwnd();
    if (!hwnd) return;
    RECT want, have;
    GetNativeRect(want);
    ::GetWindowRect(hwnd, &have);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&have), 2);
    if (::EqualRect(&want, &have)) return;
    ::SetWindowPos(hwnd, nullptr, want.left, want.top, want.right - want.left,
                   want.bottom - want.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void UINativeEdit::ReadNativeText() {
    HWND hwnd = NativeHwnd();
    if (!hwnd) return;
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    SetText(text);
}

bool UINativeEdit::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool handled = UINativeCtrl::HandleMessage(msg, wParam, lParam, result);
    switch (msg) {
        case WM_SETTEXT:
            if (HWND hwnd = NativeHwnd()) {
                if (::SetWindowTextW(hwnd, GetText().c_str())) ReadNativeText();
            }
            break;
        case WM_SHOWWINDOW:
            OnVisibilityHook();
            break;
        case WM_SIZE:
            PlaceNativeWindow();
            break;
        case WM_DESTROY:
            if (HWND hwnd = NativeHwnd()) ::DestroyWindow(hwnd);
            break;
        default:
            break;
    }
    return handled;
}

void UINativeEdit::OnPositionChanged() { PlaceNativeWindow(); }

void UINativeEdit::Paint(Gdiplus::Graphics& graphics) {
    UINativeCtrl::Paint(graphics);
    // A paint means the control is in a shown window: the place to make the
    // child, and to follow the control when an ancestor moved.
    if (EnsureNativeWindow()) PlaceNativeWindow();
}

LRESULT UINativeEdit::NativeWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    UIRefPtr<UIControl> keep(this);  // a handler of the event may detach the control
    const LRESULT result = UINativeCtrl::NativeWndProc(hwnd, msg, wParam, lParam);
    if (!NativeHwnd()) return result;  // the window has gone
    if (MayChangeText(msg)) ReadNativeText();
    if (msg == WM_CHAR && wParam == 13) Notify("vkreturn", 0, 0);
    return result;
}
