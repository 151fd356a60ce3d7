#pragma once
// A control tree bound to one borderless, per-pixel-alpha top-level window:
// creates the window and loads its layout document, paints the tree into a
// persistent back buffer and pushes it with one layered update, routes the
// window's input to the controls, lets the user drag the window by any area
// no hit-testable control covers, runs a modal loop and hands control events
// to OnNotify.
#include <windows.h>

#include <string>

#include "ui/BackBuffer.h"
#include "ui/UICaret.h"
#include "ui/UIContainer.h"
#include "ui/UIWindowImp.h"

namespace Gdiplus {
class Graphics;
}

class UIHostWnd : public UIContainer, public UIWindowImp {
  public:
    // The skin path of the layout document; empty: a window without one.
    explicit UIHostWnd(const std::wstring& layoutFile = std::wstring());
    ~UIHostWnd() override;
    // Ends the window (if any) before the object goes.
    void DeleteSelf() override;

    // The popup style of the installer's windows.
    static constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

    // Creates the layered window (class "UIWidget", empty title); null on failure.
    HWND CreateHostWindow(DWORD style, int x, int y, int width, int height, HWND owner);
    void CenterWindow();
    // Runs a modal loop: the owner is disabled until the window ends (or a
    // quit message arrives), then the window is hidden and destroyed.
    int RunModal(HWND owner);
    void EndModal(int code);
    bool IsRunning() const { return running_; }
    // EndModal was called (before or during the loop).
    bool EndRequested() const { return ended_; }
    int EndCode() const { return endCode_; }

    void SetLayoutFile(const std::wstring& file) { layoutFile_ = file; }
    const std::wstring& LayoutFile() const { return layoutFile_; }
    void SetResizable(bool on) { resizable_ = on; }
    void SetDragByBackground(bool on) { dragByBackground_ = on; }
    // The control whose area shows this window when it is a popup, or 0.
    void SetOwnerControl(uint32_t handle) { ownerControl_ = handle; }

    // The painted pixels (premultiplied ARGB); empty for a 0-sized window.
    const BackBuffer& GetBackBuffer() const { return backBuffer_; }
    const RECT& PendingDirtyRect() const { return dirty_; }

    // The host's virtual operations.
    virtual int OnTimer(int number) { return 0; }
    virtual SIZE GetMinTrackSize() { return SIZE{500, 500}; }
    virtual RECT GetMaxMargins() { return RECT{0, 0, 0, 0}; }
    virtual RECT GetResizeBorders() { return RECT{6, 6, 6, 6}; }
    virtual void PaintAll(Gdiplus::Graphics& graphics);
    virtual void OnCreated() {}
    // Default buttons by sender id: "btnclose" and "btncancel" end the modal
    // loop with 0, "btnmini" minimises, "btnok" ends it with 1.
    virtual int OnNotify(UIEvent& event);
    // Screen coordinates in; an HT* code out.
    virtual LRESULT HitTestNonClient(int x, int y);

    // IUIContainer.
    HWND GetHwnd() override { return GetNativeWindow(); }
    bool IsLayered() override;
    void GetClientRect(RECT& rc) override;
    void InvalidateOwner(const RECT* rc) override;
    void CreateHostCaret(uint32_t control, HBITMAP bitmap, int width, int height) override;
    void ShowHostCaret(uint32_t control) override;
    void SetHostCaretPos(int x, int y) override;
    int Notify(UIControl* sender, const char* eventName, WPARAM wParam, LPARAM lParam) override;
    using UIControl::Notify;

    // The top control: its invalidation goes to the window.
    void Invalidate(const RECT* rc) override;
    const char* GetClassName() override { return "UIHostWnd"; }

  protected:
    bool HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void HoldWindowObject() override;
    void DropWindowObject() override;

  private:
    struct ButtonRecord {
        UINT msg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    void OnWindowCreate();
    void OnWindowSize(WPARAM type, int w, int h);
    void OnPaint();
    void PushLayered(int w, int h);
    void OnActivate(WPARAM wParam);
    bool OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnSetCursorMessage(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnMinMaxInfo(MINMAXINFO* info);
    bool OnTimerMessage(UINT_PTR id);
    void OnCaptureChanged(HWND taker);
    bool CaretVisible() const;
    RECT CaretArea();
    void InvalidateCaret();
    void SendMessageToWindow(UINT msg, WPARAM wParam, LPARAM lParam);

    std::wstring layoutFile_;
    bool resizable_ = false;
    bool dragByBackground_ = true;
    bool running_ = false;
    bool ended_ = false;
    bool destroying_ = false;
    int endCode_ = 0;
    RECT dirty_ = {0, 0, 0, 0};
    BackBuffer backBuffer_;
    BYTE alpha_ = 255;
    int textHint_ = 0;
    UIRefPtr<UICaret> caret_;
    uint32_t caretControl_ = 0;
    bool caretShown_ = false;
    bool caretPhase_ = false;
    ButtonRecord lastButton_;
    bool trackingRequested_ = false;
    bool sizing_ = false;
    uint32_t ownerControl_ = 0;
};
