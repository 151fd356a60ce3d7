#pragma once
// The host side of the windowless rich-text services for one UIEdit: it
// answers the services' questions (device context, client rectangle,
// formats, limits, property bits) from the edit and its host window, and
// carries their requests (invalidation, caret, timers, capture, focus) to
// the control's host. Notifications of the services are ignored.
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

class UIEdit;

class UITextHost : public ITextHost {
  public:
    explicit UITextHost(UIEdit* edit) : edit_(edit) {}
    virtual ~UITextHost() = default;
    UITextHost(const UITextHost&) = delete;
    UITextHost& operator=(const UITextHost&) = delete;

    // The edit is going: requests that still arrive are dropped.
    void Detach() { edit_ = nullptr; }

    // IUnknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost, in the interface's order.
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override { return TRUE; }
    WINBOOL TxEnableScrollBar(INT flags, INT arrows) override { return TRUE; }
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override {
        return TRUE;
    }
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override { return TRUE; }
    void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override { return S_OK; }
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override { return ::GetSysColor(index); }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* bars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override { return E_NOTIMPL; }
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override { return 0; }
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override { return 0; }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override { return 0; }
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC imc) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

  private:
    HWND Window() const;

    UIEdit* edit_;
    LONG refs_ = 1;
};
