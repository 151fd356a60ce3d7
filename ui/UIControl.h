#pragma once
// The element of every skinned window: a reference-counted node of a
// retained tree with a rectangle relative to its parent, a padding, an
// optional layout strategy and background render spec, style bits, a state
// word, an id and ordered children. Controls are driven by Windows-style
// messages sent synchronously to them and raise named events.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ui/IUIContainer.h"
#include "ui/UIRefObj.h"

namespace Gdiplus {
class Graphics;
}
class UILayout;
class UIRender;

// One message being processed by a control (innermost first).
struct UIMessage {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int x = 0, y = 0;  // signed low and high 16 bits of lParam
    UIMessage* previous = nullptr;
    LRESULT result = 0;
};

// One event raised by Notify.
struct UIEvent {
    UIControl* sender = nullptr;
    std::wstring senderId;
    std::string name;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int result = 0;
};

using UIEventHandler = void (*)(void* object, UIEvent& event);

class UIControl : public UIRefObj {
  public:
    // Run-time state bits.
    enum : uint32_t {
        kStateHover = 0x01,
        kStatePressed = 0x02,
        kStateActive = 0x04,  // never set by the core; drawn like pressed
        kStateHidden = 0x08,  // self or an ancestor
        kStateDisabled = 0x10,
    };
    // Style flags A.
    enum : uint8_t {
        kStyleSelect = 0x01,
        kStylePosParent = 0x02,
        kStyleVisible = 0x04,
        kStyleEnable = 0x08,
        kStyleHit = 0x10,
        kStyleFloat = 0x40,
        kStyleDestroyed = 0x80,
    };
    // Style flags B.
    enum : uint8_t {
        kStyleAdj = 0x01,
        kStyleContainer = 0x02,
        kStyleLayoutPending = 0x04,
        kStyleWidthParent = 0x08,
        kStyleHeightParent = 0x10,
        kStyleFocusable = 0x20,
        kStyleTrack = 0x80,
    };
    // GetRelative kinds.
    enum Relative {
        kFirstChild = 0,
        kLastChild = 1,
        kPrevSibling = 2,
        kNextSibling = 3,
        kParent = 4
    };
    static constexpr uint32_t kArrowCursor = 32512;

    UIControl();
    ~UIControl() override;

    // The virtual operations, in slot order after the destructor and DeleteSelf.
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual int OnCreate(LPARAM lParam) { return 0; }
    virtual bool DefHandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnHook1(void* arg) {}
    virtual void OnStateChanged(uint32_t oldState, uint32_t newState) {}
    virtual bool RedrawOnStateChange() { return true; }
    virtual void OnRButtonUp(int x, int y) {}
    virtual bool IsTrack() { return (styleB_ & kStyleTrack) != 0; }
    virtual const char* GetClassName() { return "UIControl"; }
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    virtual void Paint(Gdiplus::Graphics& graphics);
    virtual void ClipToRegion(Gdiplus::Graphics& graphics);
    virtual void GetDesiredSize(SIZE& size);
    virtual void ProcessMessage(UIMessage& record);
    virtual void GetPadding(RECT& rc) { rc = padding_; }
    virtual void GetClientRect(RECT& rc);
    virtual void Layout();
    virtual void Invalidate(const RECT* rc);
    virtual bool OnChildNotify(UIEvent& event) { return false; }
    // Native-window controls show or hide their window here.
    virtual void OnVisibilityHook() {}
    virtual void OnPositionChanged() {}
    virtual std::wstring GetTips() { return tips_; }
    // Bit 4 (0x04): the control wants all keys.
    virtual UINT GetDialogCode() { return 0; }
    virtual bool IsInFocusGroup() { return false; }
    virtual bool IsFocusable() { return (styleB_ & kStyleFocusable) != 0; }
    virtual UIControl* GetFocusDelegate() { return nullptr; }
    virtual bool HitTestPoint(POINT pt);
    virtual int OnHook29(void* arg) { return 0; }
    virtual int OnSetCursor();
    virtual UIControl* FindControlAt(int x, int y);

    // Messages and events.
    int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool* handledOut = nullptr);
    int Notify(const char* eventName, WPARAM wParam, LPARAM lParam);
    void AddListener(void* object, UIEventHandler handler);
    UIMessage* CurrentMessage() const { return currentMessage_; }
    // Marks the current message handled (for handlers of derived controls).
    void SetHandled() { handled_ = 1; }

    // Geometry.
    void SetPos(int x, int y, int w, int h);
    void Move(int x, int y, int w, int h);
    const RECT& GetPos() const { return pos_; }
    int Width() const { return pos_.right - pos_.left; }
    int Height() const { return pos_.bottom - pos_.top; }
    void GetHostRect(RECT& rc);
    void GetScreenRect(RECT& rc);

    // Tree.
    void AddChild(UIControl* child);
    void SetHost(IUIContainer* host);
    void RemoveAllChildren();
    void Detach();
    UIControl* FindById(const std::wstring& id);
    UIControl* GetRelative(int kind);
    int IndexInParent() const;
    // Makes a child the first painted (and last hit) of the children; other
    // controls are left in place.
    void MoveChildToFront(UIControl* child);
    void PingTree();
    UIControl* GetParent() const { return parent_; }
    IUIContainer* GetHost() const { return host_; }
    const std::vector<UIControl*>& Children() const { return children_; }

    // Visibility and enablement (messages 24 and 10).
    void SetVisible(bool show, int fromParent);
    void SetEnabled(bool enable, int fromParent);

    // Attributes and fields.
    const std::wstring& GetAttribute(const std::wstring& name) const;
    uint32_t Handle() const { return handle_; }
    const std::wstring& GetId() const { return id_; }
    const std::wstring& GetText() const { return text_; }
    uint32_t GetState() const { return state_; }
    void SetState(uint32_t state) { state_ = state; }
    uint8_t StyleA() const { return styleA_; }
    uint8_t StyleB() const { return styleB_; }
    bool HasStyleA(uint8_t bits) const { return (styleA_ & bits) != 0; }
    bool HasStyleB(uint8_t bits) const { return (styleB_ & bits) != 0; }
    void SetStyleA(uint8_t bits, bool on);
    void SetStyleB(uint8_t bits, bool on);
    bool IsVisibleBit() const { return HasStyleA(kStyleVisible); }
    bool IsEnableBit() const { return HasStyleA(kStyleEnable); }
    bool IsFloat() const { return HasStyleA(kStyleFloat); }
    bool IsAdj() const { return HasStyleB(kStyleAdj); }
    UILayout* GetLayout() const { return layout_; }
    UIRender* GetBack() const { return back_; }
    int GetRgn() const { return rgn_; }
    uint32_t GetCursor() const { return cursor_; }
    bool WantsChildNotify() const { return childNotify_; }
    void SetChildNotify(bool on) { childNotify_ = on; }

  protected:
    void SetText(const std::wstring& text) { text_ = text; }

  private:
    struct Listener {
        void* object;
        UIEventHandler handler;
    };
    bool HandleHover();
    bool HandleLeave();
    void ChangeState(uint32_t newState);
    void SetParentSize(bool width, const std::wstring& value);
    void ApplyStyle(const std::wstring& name);
    void SetLayoutValue(const std::wstring& value);
    void SetBackValue(const std::wstring& value);

    uint32_t handle_;
    int handled_ = 0;
    RECT pos_ = {0, 0, 0, 0};
    RECT padding_ = {0, 0, 0, 0};
    std::wstring text_;
    std::wstring tips_;
    UIControl* parent_ = nullptr;
    UILayout* layout_ = nullptr;
    UIRender* back_ = nullptr;
    IUIContainer* host_ = nullptr;
    UIMessage* currentMessage_ = nullptr;
    int rgn_ = 0;
    std::map<std::wstring, std::wstring> attributes_;
    uint32_t state_ = 0;
    uint8_t styleA_ = kStyleVisible | kStyleEnable | kStyleHit;
    uint8_t styleB_ = kStyleLayoutPending;
    bool childNotify_ = false;
    uint32_t cursor_ = kArrowCursor;
    std::wstring id_;
    std::vector<UIControl*> children_;
    std::vector<Listener> listeners_;
};
