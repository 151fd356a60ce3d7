#include "ui/UIHostWnd.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/ControlFactory.h"
#include "ui/ControlTimer.h"
#include "ui/GdiplusHeaders.h"
#include "ui/PaintContext.h"
#include "ui/TreePainter.h"
#include "ui/UIControlRegistry.h"
#include "ui/UIDocBuilder.h"

namespace {

constexpr const wchar_t* kClassName = L"UIWidget";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr UINT kReflectedNotify = 0x204E;  // WM_NOTIFY bounced back to its sender
constexpr int kCaretTimer = 1;

void RegisterHostClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = kClassStyle;
    wc.lpfnWndProc = &UIWindowImp::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(6));
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);  // already registered: fine
}

// The button-up that ends a press, or 0.
UINT ButtonUpFor(UINT down) {
    switch (down) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return WM_LBUTTONUP;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return WM_RBUTTONUP;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return WM_MBUTTONUP;
        default:
            return 0;
    }
}

bool IsButtonDown(UINT msg) {
    return ButtonUpFor(msg) != 0 || msg == WM_XBUTTONDOWN || msg == WM_XBUTTONDBLCLK;
}
bool IsButtonUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_XBUTTONUP;
}

bool IsKeyboardWindowMessage(UINT msg) {
    return (msg >= WM_KEYDOWN && msg <= WM_UNICHAR) ||
           (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_COMPOSITION) || msg == WM_IME_CHAR;
}

// One axis of CenterWindow: centred on the reference, then kept inside the work area.
int CenterAxis(long refLow, long refHigh, int size, long workLow, long workHigh) {
    int pos = static_cast<int>((refLow + refHigh) / 2) - size / 2;
    if (pos + size > workHigh) pos = static_cast<int>(workHigh) - size;
    return std::max(pos, static_cast<int>(workLow));
}

}  // namespace

UIHostWnd::UIHostWnd(const std::wstring& layoutFile) : layoutFile_(layoutFile) {}

UIHostWnd::~UIHostWnd() {
    // Normally DeleteSelf has ended the window already. Otherwise its last
    // messages must not reach an object that is half destroyed.
    destroying_ = true;
    if (HWND hwnd = GetNativeWindow()) {
        ::RemovePropW(hwnd, kPropertyName);
        ::DestroyWindow(hwnd);
    }
}

void UIHostWnd::DeleteSelf() {
    HWND hwnd = GetNativeWindow();
    if (hwnd && !destroying_) {
        // The window ends while the whole object is alive, so the tree gets
        // its destroy message. Meanwhile the reference held here keeps the
        // object alive and the messages take none of their own.
        destroying_ = true;
        AddRef();
        ::DestroyWindow(hwnd);
        Release();  // back to 0: calls DeleteSelf again, which deletes
        return;
    }
    delete this;
}

void UIHostWnd::HoldWindowObject() {
    if (!destroying_) AddRef();
}

void UIHostWnd::DropWindowObject() {
    if (!destroying_) Release();
}

// ---- Window life ---------------------------------------------------------

HWND UIHostWnd::CreateHostWindow(DWORD style, int x, int y, int width, int height, HWND owner) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterHostClass(instance);
    return ::CreateWindowExW(WS_EX_LAYERED, kClassName, L"", style, x, y, width, height, owner,
                             nullptr, instance, static_cast<UIWindowImp*>(this));
}

void UIHostWnd::CenterWindow() {
    HWND hwnd = GetNativeWindow();
    if (!hwnd) return;
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    RECT ref, work;
    int x, y;
    if (style & WS_CHILD) {
        HWND parent = ::GetParent(hwnd);
        ::GetClientRect(parent, &ref);
        work = ref;
        x = CenterAxis(ref.left, ref.right, w, work.left, work.right);
        y = CenterAxis(ref.top, ref.bottom, h, work.top, work.bottom);
    } else {
        HWND owner = ::GetWindow(hwnd, GW_OWNER);
        const bool overOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
        MONITORINFO mi = {};
        mi.cbSize = sizeof(mi);
        HMONITOR monitor = ::MonitorFromWindow(overOwner ? owner : hwnd, MONITOR_DEFAULTTOPRIMARY);
        if (!::GetMonitorInfoW(monitor, &mi)) return;
        work = mi.rcWork;
        if (overOwner) {
            ::GetWindowRect(owner, &ref);
        } else {
            ref = work;
        }
        x = CenterAxis(ref.left, ref.right, w, work.left, work.right);
        y = CenterAxis(ref.top, ref.bottom, h, work.top, work.bottom);
    }
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int UIHostWnd::RunModal(HWND owner) {
    if (owner) ::EnableWindow(owner, FALSE);
    // An end asked for before the loop started (from an initialisation
    // callback) still ends it.
    running_ = !ended_;
    MSG msg;
    // Without a window (creation failed, or it was destroyed from outside)
    // nothing could end the loop.
    while (running_ && GetNativeWindow()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    running_ = false;
    if (owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    if (HWND hwnd = GetNativeWindow()) {
        ::ShowWindow(hwnd, SW_HIDE);
        ::DestroyWindow(hwnd);
    }
    return endCode_;
}

void UIHostWnd::EndModal(int code) {
    endCode_ = code;
    running_ = false;
    ended_ = true;
    if (HWND hwnd = GetNativeWindow()) ::PostMessageW(hwnd, WM_NULL, 0, 0);
}

void UIHostWnd::OnWindowCreate() {
    SetHost(this);
    UIDocBuilder builder(this);
    RegisterControlFactory();
    HWND hwnd = GetNativeWindow();
    if (!layoutFile_.empty()) {
        if (UIControl* root = LoadLayout(builder, this, layoutFile_)) {
            ::SetWindowPos(hwnd, nullptr, 0, 0, root->Width(), root->Height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    Move(0, 0, w, h);
    OnCreated();
    if (UIControl* first = GetRelative(kFirstChild)) first->Move(0, 0, w, h);
}

void UIHostWnd::OnWindowSize(WPARAM type, int w, int h) {
    if (type == SIZE_MINIMIZED || w == 0 || h == 0) return;
    sizing_ = true;
    Move(0, 0, w, h);
    if (UIControl* first = GetRelative(kFirstChild)) first->Move(0, 0, w, h);
    sizing_ = false;
}

// ---- Window messages -----------------------------------------------------

bool UIHostWnd::HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSEHOVER) {
        return OnMouse(msg, wParam, lParam);
    }
    if (IsKeyboardWindowMessage(msg)) return DispatchInput(msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
            OnWindowCreate();
            return true;
        case WM_DESTROY:
            if (caretShown_) ShowHostCaret(0);
            ::DestroyCaret();
            SendMessage(WM_DESTROY, 0, 0);  // to the host control: the tree goes
            return false;
        case WM_SIZE:
            OnWindowSize(wParam, LOWORD(lParam), HIWORD(lParam));
            return false;
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            DispatchInput(msg, wParam, lParam);
            return false;
        case WM_MOUSELEAVE:
            trackingRequested_ = false;
            lastButton_ = ButtonRecord{};
            ShowTooltip(nullptr);
            DispatchInput(msg, wParam, lParam);
            return true;
        case WM_SETCURSOR:
            return OnSetCursorMessage(wParam, lParam, result);
        case WM_GETMINMAXINFO:
            OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return true;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (!hdr || static_cast<int>(hdr->code) != -12) return false;  // custom draw only
            result = ::SendMessageW(hdr->hwndFrom, kReflectedNotify, wParam, lParam);
            return true;
        }
        case WM_NCCALCSIZE:
            return true;  // no frame: the client area is the whole window
        case WM_NCHITTEST:
            result = HitTestNonClient(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return true;
        case WM_NCACTIVATE:
            Invalidate(nullptr);
            result = 1;
            return true;
        case WM_SHOWWINDOW:
            if (wParam) Invalidate(nullptr);
            return false;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam));
            return false;  // the default processing still sends size and move
        case WM_TIMER:
            return OnTimerMessage(wParam);
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lParam));
            return false;
        default:
            return false;
    }
}

void UIHostWnd::SendMessageToWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (HWND hwnd = GetNativeWindow()) ::SendMessageW(hwnd, msg, wParam, lParam);
}

void UIHostWnd::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) {
        ::SetFocus(GetNativeWindow());
        return;
    }
    if (::GetFocus() == GetNativeWindow()) ::SetFocus(nullptr);
    // The button-up would go to whichever window is activated; the control
    // that saw the press must still see its end.
    const ButtonRecord pressed = lastButton_;
    if (const UINT up = ButtonUpFor(pressed.msg))
        SendMessageToWindow(up, pressed.wParam, pressed.lParam);
}

bool UIHostWnd::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = GetNativeWindow();
    if (msg == WM_MOUSEMOVE) {
        if (!trackingRequested_) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, hwnd, 0};
            trackingRequested_ = ::TrackMouseEvent(&tme) != FALSE;
        }
        if (lastButton_.msg == 0) lastButton_ = ButtonRecord{0, wParam, lParam};
    } else if (msg == WM_MOUSEWHEEL || msg == WM_MOUSEHWHEEL) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(hwnd, &pt);
        lParam = MAKELPARAM(pt.x, pt.y);
    } else if (IsButtonDown(msg)) {
        lastButton_ = ButtonRecord{msg, wParam, lParam};
        if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ::SetFocus(hwnd);
    } else if (IsButtonUp(msg)) {
        lastButton_ = ButtonRecord{};
    }
    const bool handled = DispatchInput(msg, wParam, lParam);
    AfterMouseMessage(msg, wParam, lParam);
    return handled;
}

bool UIHostWnd::OnSetCursorMessage(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND hwnd = GetNativeWindow();
    const UINT area = LOWORD(lParam);
    if (reinterpret_cast<HWND>(wParam) == hwnd && area == HTCLIENT) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(hwnd, &pt);
        if (!DispatchInput(WM_SETCURSOR, wParam, MAKELPARAM(pt.x, pt.y))) return false;
        result = TRUE;
        return true;
    }
    if (!resizable_) return false;
    LPCWSTR cursor = nullptr;
    switch (area) {
        case HTLEFT:
        case HTRIGHT:
            cursor = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            cursor = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            cursor = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            cursor = IDC_SIZENESW;
            break;
        default:
            return false;
    }
    ::SetCursor(::LoadCursorW(nullptr, cursor));
    result = TRUE;
    return true;
}

void UIHostWnd::OnMinMaxInfo(MINMAXINFO* info) {
    HMONITOR monitor = ::MonitorFromWindow(GetNativeWindow(), MONITOR_DEFAULTTONULL);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!info || !monitor || !::GetMonitorInfoW(monitor, &mi)) return;
    const RECT m = GetMaxMargins();
    const RECT& work = mi.rcWork;
    // The maximised position is relative to the monitor.
    info->ptMaxPosition =
        POINT{work.left - mi.rcMonitor.left - m.left, work.top - mi.rcMonitor.top - m.top};
    info->ptMaxSize =
        POINT{work.right - work.left + m.left + m.right, work.bottom - work.top + m.top + m.bottom};
    info->ptMaxTrackSize = info->ptMaxSize;
    const SIZE min = GetMinTrackSize();
    info->ptMinTrackSize = POINT{min.cx, min.cy};
}

void UIHostWnd::OnCaptureChanged(HWND taker) {
    if (taker == GetNativeWindow()) return;
    const uint32_t held = GetCapturedControl();
    if (!held) return;
    UIRefPtr<UIControl> c(UIControlRegistry::Instance().Find(held));
    // Cleared first, so that the control's handler sees itself released.
    ClearCapturedHandle();
    if (c) c->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(taker));
}

LRESULT UIHostWnd::HitTestNonClient(int x, int y) {
    HWND hwnd = GetNativeWindow();
    POINT pt = {x, y};
    ::ScreenToClient(hwnd, &pt);
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    const int w = rc.right, h = rc.bottom;
    if (resizable_ && !::IsZoomed(hwnd)) {
        const RECT b = GetResizeBorders();
        if (pt.x > w - b.right) {
            return pt.y > h - b.bottom ? HTBOTTOMRIGHT : pt.y < b.top ? HTTOPRIGHT : HTRIGHT;
        }
        if (pt.x < b.left) {
            return pt.y > h - b.bottom ? HTBOTTOMLEFT : pt.y < b.top ? HTTOPLEFT : HTLEFT;
        }
        if (pt.y > h - b.bottom) return HTBOTTOM;
        if (pt.y < b.top) return HTTOP;
    }
    if (!dragByBackground_) return HTCLIENT;
    return FindControlAt(pt.x, pt.y) == this ? HTCAPTION : HTCLIENT;
}

// ---- Painting ------------------------------------------------------------

bool UIHostWnd::IsLayered() {
    HWND hwnd = GetNativeWindow();
    return hwnd && (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

void UIHostWnd::GetClientRect(RECT& rc) {
    HWND hwnd = GetNativeWindow();
    if (!hwnd || !::GetClientRect(hwnd, &rc)) UIControl::GetClientRect(rc);
}

void UIHostWnd::Invalidate(const RECT* rc) {
    HWND hwnd = GetNativeWindow();
    if (!hwnd) return;
    RECT r;
    if (rc) {
        r = *rc;
    } else {
        ::GetClientRect(hwnd, &r);
    }
    if (::IsRectEmpty(&r)) return;
    ::InvalidateRect(hwnd, &r, FALSE);
    ::UnionRect(&dirty_, &dirty_, &r);
}

void UIHostWnd::InvalidateOwner(const RECT* rc) {
    if (!IsVisibleBit() || (GetState() & kStateHidden)) return;
    UIRefPtr<UIControl> owner(UIControlRegistry::Instance().Find(ownerControl_));
    if (!owner) return;
    RECT r = rc ? *rc : RECT{0, 0, Width(), Height()};
    ::OffsetRect(&r, GetPos().left, GetPos().top);
    owner->Invalidate(&r);
}

void UIHostWnd::OnPaint() {
    HWND hwnd = GetNativeWindow();
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;
    const bool layered = IsLayered();
    RECT dirty = {0, 0, 0, 0};
    if (layered && (!::GetUpdateRect(hwnd, &dirty, FALSE) || ::IsRectEmpty(&dirty))) dirty = client;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    if (!layered) dirty = ps.rcPaint;
    ::UnionRect(&dirty, &dirty, &dirty_);
    ::SetRectEmpty(&dirty_);
    if (w < 1 || h < 1) {
        backBuffer_.Reset();  // nothing to show: no buffer is kept
        ::EndPaint(hwnd, &ps);
        return;
    }
    if (backBuffer_.Width() != w || backBuffer_.Height() != h) {
        if (!backBuffer_.Resize(w, h)) {
            ::EndPaint(hwnd, &ps);
            return;
        }
        dirty = client;
    }
    if (CaretVisible()) {
        // The caret is drawn by inverting: its area is always painted afresh.
        const RECT caret = CaretArea();
        ::UnionRect(&dirty, &dirty, &caret);
    }
    ::IntersectRect(&dirty, &dirty, &client);
    if (!::IsRectEmpty(&dirty)) {
        // Cleared in memory: a GDI+ clear of the window costs as much as
        // painting a full-window image.
        backBuffer_.ClearArea(dirty);
        Gdiplus::Graphics g(backBuffer_.Surface());
        if (textHint_ != 0)
            g.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(textHint_));
        g.SetClip(Gdiplus::Rect(dirty.left, dirty.top, dirty.right - dirty.left,
                                dirty.bottom - dirty.top),
                  Gdiplus::CombineModeReplace);
        paintArea_ = dirty;
        const PaintContext context(backBuffer_, g, dirty);
        PaintAll(g);
    }
    if (layered) {
        if (!::IsRectEmpty(&dirty)) PushLayered(dirty);
    } else {
        ::BitBlt(dc, 0, 0, w, h, backBuffer_.Dc(), 0, 0, SRCCOPY);
    }
    ::EndPaint(hwnd, &ps);
}

void UIHostWnd::PaintAll(Gdiplus::Graphics& graphics) {
    PaintControlTree(this, graphics, paintArea_);
    if (CaretVisible()) {
        graphics.Flush(Gdiplus::FlushIntentionSync);  // the pixels must be final before inverting
        backBuffer_.InvertColours(CaretArea());
    }
}

void UIHostWnd::PushLayered(const RECT& dirty) {
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
    POINT source = {0, 0};
    SIZE size = {backBuffer_.Width(), backBuffer_.Height()};
    // The system keeps the pixels pushed last, and outside the dirty
    // rectangle the buffer still holds exactly those: only the dirty part
    // needs to be sent. Unless the last push failed, was of another size, or
    // the window has moved, been resized, shown or hidden since (Wine remakes
    // its copy when the window changes place), when the whole buffer goes.
    const bool partial = pushedIntact_ && pushedSize_.cx == size.cx && pushedSize_.cy == size.cy;
    UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, &size,     backBuffer_.Dc(),
                                    &source,      0,       &blend,  ULW_ALPHA, nullptr};
    if (partial) info.prcDirty = &dirty;
    HWND hwnd = GetNativeWindow();
    BOOL pushed = ::UpdateLayeredWindowIndirect(hwnd, &info);
    if (!pushed && partial) {
        info.prcDirty = nullptr;
        pushed = ::UpdateLayeredWindowIndirect(hwnd, &info);
    }
    pushedIntact_ = pushed != FALSE;
    pushedSize_ = size;
}

void UIHostWnd::OnWindowPosChanged(const WINDOWPOS* pos) {
    constexpr UINT kKeepsPixels = SWP_NOMOVE | SWP_NOSIZE;
    if (!pos || (pos->flags & kKeepsPixels) != kKeepsPixels ||
        (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) {
        pushedIntact_ = false;
    }
}

// ---- Caret ---------------------------------------------------------------

bool UIHostWnd::CaretVisible() const { return caret_ && caretShown_ && caretPhase_; }

RECT UIHostWnd::CaretArea() {
    RECT area = {0, 0, 0, 0};
    if (!caret_) return area;
    RECT caret = caret_->Rect();
    UIControl* owner = UIControlRegistry::Instance().Find(caretControl_);
    RECT bounds = {0, 0, 0, 0};
    if (owner) owner->GetHostRect(bounds);
    ::IntersectRect(&area, &caret, &bounds);
    return area;
}

void UIHostWnd::InvalidateCaret() {
    const RECT area = CaretArea();
    if (!::IsRectEmpty(&area)) Invalidate(&area);
}

void UIHostWnd::CreateHostCaret(uint32_t control, HBITMAP bitmap, int width, int height) {
    if (caretShown_) ShowHostCaret(0);
    HWND hwnd = GetNativeWindow();
    if (hwnd) ::CreateCaret(hwnd, nullptr, width, height);  // never shown: we draw our own
    caret_ = UIRefPtr<UICaret>::Adopt(new UICaret(bitmap, width, height));
    caretControl_ = control;
}

void UIHostWnd::ShowHostCaret(uint32_t control) {
    HWND hwnd = GetNativeWindow();
    const UINT_PTR timer = ControlTimerId(kCaretTimer, Handle());
    if (control == 0) {
        if (hwnd) ::KillTimer(hwnd, timer);
        if (CaretVisible()) InvalidateCaret();
        caretShown_ = false;
        caretPhase_ = false;
        return;
    }
    if (!caret_) return;
    caretControl_ = control;
    if (hwnd) ::SetTimer(hwnd, timer, ::GetCaretBlinkTime(), nullptr);
    caretShown_ = true;
    caretPhase_ = true;
    InvalidateCaret();
}

void UIHostWnd::SetHostCaretPos(int x, int y) {
    if (!caret_) return;
    ::SetCaretPos(x, y);
    if (CaretVisible()) InvalidateCaret();
    caret_->SetPos(x, y);
    if (CaretVisible()) InvalidateCaret();
}

// ---- Timers and events ---------------------------------------------------

bool UIHostWnd::OnTimerMessage(UINT_PTR id) {
    if (!IsControlTimerId(id)) return false;
    UIRefPtr<UIControl> c(UIControlRegistry::Instance().Find(ControlTimerHandle(id)));
    const int number = ControlTimerNumber(id);
    if (!c) {
        ::KillTimer(GetNativeWindow(), id);
    } else if (c.get() == this) {
        if (number == kCaretTimer) {
            // Each phase repaints the area; painting inverts it when shown.
            caretPhase_ = !caretPhase_;
            if (caretShown_) InvalidateCaret();
        } else {
            OnTimer(number);
        }
    } else {
        c->SendMessage(WM_TIMER, number, 0);
    }
    return true;
}

int UIHostWnd::Notify(UIControl* sender, const char* eventName, WPARAM wParam, LPARAM lParam) {
    UIEvent event;
    event.sender = sender;
    if (sender) event.senderId = sender->GetId();
    event.name = eventName ? eventName : "";
    event.wParam = wParam;
    event.lParam = lParam;
    return OnNotify(event);
}

int UIHostWnd::OnNotify(UIEvent& event) {
    const std::wstring& id = event.senderId;
    if (id == L"btnclose" || id == L"btncancel") {
        EndModal(0);
    } else if (id == L"btnmini") {
        if (HWND hwnd = GetNativeWindow()) ::ShowWindow(hwnd, SW_MINIMIZE);
    } else if (id == L"btnok") {
        EndModal(1);
    }
    return 1;
}
