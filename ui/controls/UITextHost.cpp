#include "ui/controls/UITextHost.h"

#include <imm.h>

#include "ui/ControlTimer.h"
#include "ui/controls/UIEdit.h"

namespace {

const IID kIidTextHost = {
    0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

}  // namespace

HRESULT UITextHost::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidTextHost)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG UITextHost::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG UITextHost::Release() {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HWND UITextHost::Window() const {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    return host ? host->GetHwnd() : nullptr;
}

HDC UITextHost::TxGetDC() { return ::GetDC(Window()); }

INT UITextHost::TxReleaseDC(HDC hdc) { return ::ReleaseDC(Window(), hdc); }

void UITextHost::TxInvalidateRect(LPCRECT rect, WINBOOL mode) {
    if (!edit_) return;
    if (!rect) {
        edit_->Invalidate(nullptr);
        return;
    }
    RECT origin, local = *rect;
    edit_->GetHostRect(origin);
    ::OffsetRect(&local, -origin.left, -origin.top);
    edit_->Invalidate(&local);
}

void UITextHost::TxViewChange(WINBOOL update) {
    if (edit_) edit_->Invalidate(nullptr);
}

WINBOOL UITextHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    if (!host) return FALSE;
    host->CreateHostCaret(edit_->Handle(), bitmap, width, height);
    return TRUE;
}

WINBOOL UITextHost::TxShowCaret(WINBOOL show) {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    if (!host) return FALSE;
    host->ShowHostCaret(show ? edit_->Handle() : 0);
    return TRUE;
}

WINBOOL UITextHost::TxSetCaretPos(INT x, INT y) {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    if (!host) return FALSE;
    host->SetHostCaretPos(x, y);  // window coordinates, as the services give them
    return TRUE;
}

WINBOOL UITextHost::TxSetTimer(UINT id, UINT timeout) {
    if (!edit_) return FALSE;
    const int number = edit_->TimerNumberFor(id, true);
    return number > 0 && SetControlTimer(edit_, number, timeout);
}

void UITextHost::TxKillTimer(UINT id) {
    if (!edit_) return;
    const int number = edit_->TimerNumberFor(id, false);
    if (number > 0) KillControlTimer(edit_, number);
}

void UITextHost::TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                                  LPRECT updateRect, UINT flags) {
    if (edit_) edit_->Invalidate(nullptr);
}

void UITextHost::TxSetCapture(WINBOOL capture) {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    if (!host) return;
    if (capture) {
        host->CaptureControl(edit_->Handle());
    } else if (host->GetCapturedControl() == edit_->Handle()) {
        host->ReleaseControlCapture();
    }
}

void UITextHost::TxSetFocus() {
    IUIContainer* host = edit_ ? edit_->GetHost() : nullptr;
    if (host && host->GetFocusedControl() != edit_->Handle())
        host->FocusControl(edit_->Handle(), 0);
}

void UITextHost::TxSetCursor(HCURSOR cursor, WINBOOL text) {
    if (cursor) ::SetCursor(cursor);
}

WINBOOL UITextHost::TxScreenToClient(LPPOINT pt) {
    HWND hwnd = Window();
    return hwnd && pt && ::ScreenToClient(hwnd, pt);
}

WINBOOL UITextHost::TxClientToScreen(LPPOINT pt) {
    HWND hwnd = Window();
    return hwnd && pt && ::ClientToScreen(hwnd, pt);
}

HRESULT UITextHost::TxActivate(LONG* oldState) {
    if (oldState) *oldState = 0;
    return S_OK;
}

HRESULT UITextHost::TxGetClientRect(LPRECT rect) {
    if (!rect) return E_INVALIDARG;
    if (!edit_) return E_FAIL;
    edit_->GetHostRect(*rect);
    return S_OK;
}

HRESULT UITextHost::TxGetViewInset(LPRECT rect) {
    if (!rect) return E_INVALIDARG;
    *rect = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT UITextHost::TxGetCharFormat(const CHARFORMATW** format) {
    if (!format || !edit_) return E_FAIL;
    *format = reinterpret_cast<const CHARFORMATW*>(&edit_->CharFormat());
    return S_OK;
}

HRESULT UITextHost::TxGetParaFormat(const PARAFORMAT** format) {
    if (!format || !edit_) return E_FAIL;
    *format = reinterpret_cast<const PARAFORMAT*>(&edit_->ParaFormat());
    return S_OK;
}

HRESULT UITextHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    if (!style) return E_INVALIDARG;
    *style = TXTBACK_TRANSPARENT;
    return S_OK;
}

HRESULT UITextHost::TxGetMaxLength(DWORD* length) {
    if (!length) return E_INVALIDARG;
    *length = edit_ ? static_cast<DWORD>(edit_->MaxLength()) : UIEdit::kDefaultMaxLength;
    return S_OK;
}

HRESULT UITextHost::TxGetScrollBars(DWORD* bars) {
    if (!bars) return E_INVALIDARG;
    const bool multi = edit_ && (edit_->PropertyBits() & TXTBIT_MULTILINE);
    *bars = ES_AUTOHSCROLL | (multi ? ES_AUTOVSCROLL : 0);
    return S_OK;
}

HRESULT UITextHost::TxGetPasswordChar(TCHAR* ch) {
    if (!ch) return E_INVALIDARG;
    *ch = L'*';
    return S_OK;
}

HRESULT UITextHost::TxGetAcceleratorPos(LONG* pos) {
    if (!pos) return E_INVALIDARG;
    *pos = -1;
    return S_OK;
}

HRESULT UITextHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    if (!bits) return E_INVALIDARG;
    *bits = (edit_ ? edit_->PropertyBits() : 0) & mask;
    return S_OK;
}

HIMC UITextHost::TxImmGetContext() {
    HWND hwnd = Window();
    return hwnd ? ::ImmGetContext(hwnd) : nullptr;
}

void UITextHost::TxImmReleaseContext(HIMC imc) {
    if (HWND hwnd = Window()) ::ImmReleaseContext(hwnd, imc);
}

HRESULT UITextHost::TxGetSelectionBarWidth(LONG* width) {
    if (!width) return E_INVALIDARG;
    *width = 0;
    return S_OK;
}
