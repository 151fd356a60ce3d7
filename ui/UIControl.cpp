#include "ui/UIControl.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "ui/AttributeParse.h"
#include "ui/GdiplusHeaders.h"
#include "ui/RoundRect.h"
#include "ui/UIControlRegistry.h"
#include "ui/UILayout.h"
#include "ui/UIRender.h"
#include "ui/UIStyleTable.h"

namespace {

int AddClamped(int a, int b) { return ClampToInt(static_cast<long long>(a) + b); }

// References on a list of controls for the length of a walk, so that a
// handler that detaches one of them cannot free it under the walker.
std::vector<UIRefPtr<UIControl>> HoldAll(const std::vector<UIControl*>& controls) {
    std::vector<UIRefPtr<UIControl>> held;
    held.reserve(controls.size());
    for (UIControl* c : controls) held.emplace_back(c);
    return held;
}

// A style may name another style; this bounds a style that names itself.
int g_styleDepth = 0;
constexpr int kMaxStyleDepth = 8;

}  // namespace

UIControl::UIControl() : handle_(UIControlRegistry::Instance().Register(this)) {}

UIControl::~UIControl() {
    UIControlRegistry::Instance().Unregister(handle_);
    // Children still attached (the tree was released without the destroy
    // message) would otherwise be leaked with a dangling parent.
    std::vector<UIControl*> children;
    children.swap(children_);
    for (UIControl* child : children) {
        child->parent_ = nullptr;
        child->Release();
    }
    if (layout_) layout_->Release();
    if (back_) back_->Release();
}

// ---- Messages ----------------------------------------------------------

int UIControl::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool* handledOut) {
    UIMessage record;
    record.hwnd = host_ ? host_->GetHwnd() : nullptr;
    record.msg = msg;
    record.wParam = wParam;
    record.lParam = lParam;
    record.x = GET_X_LPARAM(lParam);
    record.y = GET_Y_LPARAM(lParam);
    record.previous = currentMessage_;
    currentMessage_ = &record;
    AddRef();  // the handler may detach this control
    handled_ = 0;
    ProcessMessage(record);
    if (handledOut) *handledOut = handled_ != 0;
    currentMessage_ = record.previous;
    handled_ = 0;
    LRESULT result = record.result;
    Release();
    return static_cast<int>(result);
}

void UIControl::ProcessMessage(UIMessage& record) {
    LRESULT result = 0;
    if (HandleMessage(record.msg, record.wParam, record.lParam, result)) handled_ = 1;
    record.result = result;
}

bool UIControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_CREATE:
            result = OnCreate(lParam);
            return true;
        case WM_DESTROY:
            RemoveAllChildren();
            return true;
        case WM_SIZE:
            Layout();
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate(nullptr);
            return true;
        case WM_ENABLE:
            SetEnabled(wParam != 0, static_cast<int>(lParam));
            return true;
        case WM_SETTEXT: {
            const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
            text_ = text ? text : L"";
            Invalidate(nullptr);
            result = static_cast<LRESULT>(text_.size());
            return true;
        }
        case WM_SHOWWINDOW:
            SetVisible(wParam != 0, static_cast<int>(lParam));
            return true;
        case WM_MOUSEMOVE:
        case WM_RBUTTONDOWN:
            return true;
        case WM_RBUTTONUP:
            OnRButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return true;
        case WM_MOUSEWHEEL:
            if (parent_) result = parent_->SendMessage(msg, wParam, lParam);
            return true;
        case WM_MOUSEHOVER:
            return HandleHover();
        case WM_MOUSELEAVE:
            return HandleLeave();
        default:
            return DefHandleMessage(msg, wParam, lParam, result);
    }
}

bool UIControl::DefHandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_SIZE) Layout();
    result = 0;
    return false;
}

void UIControl::ChangeState(uint32_t newState) {
    if (newState == state_) return;
    uint32_t oldState = state_;
    state_ = newState;
    OnStateChanged(oldState, newState);
}

bool UIControl::HandleHover() {
    if (host_ && host_->GetCapturedControl() == handle_) ChangeState(state_ | kStatePressed);
    ChangeState(state_ | kStateHover);
    if (RedrawOnStateChange()) Invalidate(nullptr);
    return true;
}

bool UIControl::HandleLeave() {
    if (host_ && host_->GetCapturedControl() == handle_) ChangeState(state_ & ~kStatePressed);
    if (state_ & kStateHover) {
        ChangeState(state_ & ~kStateHover);
        if (RedrawOnStateChange()) Invalidate(nullptr);
    }
    return true;
}

// ---- Events ------------------------------------------------------------

void UIControl::AddListener(void* object, UIEventHandler handler) {
    listeners_.push_back(Listener{object, handler});
}

int UIControl::Notify(const char* eventName, WPARAM wParam, LPARAM lParam) {
    UIEvent event;
    event.sender = this;
    event.senderId = id_;
    event.name = eventName ? eventName : "";
    event.wParam = wParam;
    event.lParam = lParam;
    UIRefPtr<UIControl> keep(this);
    std::vector<Listener> listeners = listeners_;  // a handler may add more
    for (const Listener& l : listeners) {
        if (l.object && l.handler) l.handler(l.object, event);
    }
    for (UIControl* ancestor = parent_; ancestor;) {
        UIRefPtr<UIControl> hold(ancestor);
        if (ancestor->childNotify_ && ancestor->OnChildNotify(event)) return event.result;
        ancestor = ancestor->parent_;
    }
    if (host_) event.result = host_->Notify(this, event.name.c_str(), wParam, lParam);
    return event.result;
}

// ---- Attributes ----------------------------------------------------------

void UIControl::SetStyleA(uint8_t bits, bool on) {
    styleA_ = on ? (styleA_ | bits) : (styleA_ & ~bits);
}

void UIControl::SetStyleB(uint8_t bits, bool on) {
    styleB_ = on ? (styleB_ | bits) : (styleB_ & ~bits);
}

const std::wstring& UIControl::GetAttribute(const std::wstring& name) const {
    static const std::wstring kEmpty;
    auto it = attributes_.find(name);
    return it == attributes_.end() ? kEmpty : it->second;
}

void UIControl::ApplyStyle(const std::wstring& name) {
    if (g_styleDepth >= kMaxStyleDepth) return;
    ++g_styleDepth;
    UIStyleTable::Style style = UIStyleTable::Instance().Find(name);
    for (const auto& kv : style) SetAttribute(kv.first, kv.second);
    --g_styleDepth;
}

void UIControl::SetParentSize(bool width, const std::wstring& value) {
    if (value == L"parent") {
        SetStyleB(width ? kStyleWidthParent : kStyleHeightParent, true);
        if (parent_) {
            if (width) {
                pos_.right = AddClamped(pos_.left, parent_->Width());
            } else {
                pos_.bottom = AddClamped(pos_.top, parent_->Height());
            }
        }
    } else if (width) {
        pos_.right = AddClamped(pos_.left, ParseInt(value));
    } else {
        pos_.bottom = AddClamped(pos_.top, ParseInt(value));
    }
    Layout();
}

void UIControl::SetLayoutValue(const std::wstring& value) {
    UILayout* layout = CreateLayout(value);
    if (layout_) layout_->Release();
    layout_ = layout;
}

void UIControl::SetBackValue(const std::wstring& value) {
    UIRender* back = ParseRenderSpec(value);
    if (back_) back_->Release();
    back_ = back;
    Invalidate(nullptr);
}

void UIControl::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"css") {
        ApplyStyle(value);
    } else if (name == L"tips") {
        tips_ = value;
    } else if (name == L"track") {
        SetStyleB(kStyleTrack, ParseBool(value));
    } else if (name == L"height") {
        SetParentSize(false, value);
    } else if (name == L"width") {
        SetParentSize(true, value);
    } else if (name == L"adj") {
        SetStyleB(kStyleAdj, ParseBool(value));
    } else if (name == L"container") {
        SetStyleB(kStyleContainer, ParseBool(value));
    } else if (name == L"float") {
        SetStyleA(kStyleFloat, ParseBool(value));
    } else if (name == L"pos") {
        if (value == L"parent") {
            SetStyleA(kStylePosParent, true);
            if (parent_) SetPos(0, 0, parent_->Width(), parent_->Height());
        } else {
            UIPosValue p;
            ParseRect(value, p);  // other than four parts: all 0
            SetPos(p.x, p.y, p.w, p.h);
        }
    } else if (name == L"cursor") {
        cursor_ = value == L"hand"    ? 32649
                  : value == L"cross" ? 32515
                  : value == L"wait"  ? 32514
                                      : kArrowCursor;
    } else if (name == L"select") {
        SetStyleA(kStyleSelect, ParseBool(value));
    } else if (name == L"visible") {
        SetStyleA(kStyleVisible, ParseBool(value));
    } else if (name == L"enable") {
        SetStyleA(kStyleEnable, ParseBool(value));
    } else if (name == L"hit") {
        SetStyleA(kStyleHit, ParseBool(value));
    } else if (name == L"layout") {
        SetLayoutValue(value);
    } else if (name == L"back") {
        SetBackValue(value);
    } else if (name == L"txt") {
        SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    } else if (name == L"id") {
        id_ = value;
    } else if (name == L"rgn") {
        rgn_ = ParseInt(value);
    } else if (name == L"padding") {
        padding_ = ParsePadding(value);
    }
    attributes_[name] = value;
}

// ---- Painting ------------------------------------------------------------

void UIControl::Paint(Gdiplus::Graphics& graphics) {
    if (back_) back_->Draw(this, graphics);
}

void UIControl::ClipToRegion(Gdiplus::Graphics& graphics) {
    if (rgn_ == 0) return;
    Gdiplus::GraphicsPath path;
    AddRoundRectPath(path, 0, 0, Width(), Height(), rgn_);
    graphics.SetClip(&path, Gdiplus::CombineModeIntersect);
}

void UIControl::Invalidate(const RECT* rc) {
    if (!IsVisibleBit()) return;
    RECT r = rc ? *rc : RECT{0, 0, Width(), Height()};
    ::OffsetRect(&r, pos_.left, pos_.top);
    if (parent_) parent_->Invalidate(&r);
}

int UIControl::OnSetCursor() {
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor_)));
    return 1;
}

// ---- Geometry ------------------------------------------------------------

void UIControl::GetClientRect(RECT& rc) {
    RECT pad;
    GetPadding(pad);
    rc = RECT{pad.left, pad.top, Width() - pad.right, Height() - pad.bottom};
}

void UIControl::GetDesiredSize(SIZE& size) {
    if (IsAdj()) {
        size = SIZE{0, 0};
        return;
    }
    size = SIZE{Width(), Height()};
    if (!parent_) return;
    RECT c;
    parent_->GetClientRect(c);
    if (HasStyleA(kStylePosParent)) {
        size = SIZE{c.right - c.left, c.bottom - c.top};
    } else {
        if (HasStyleB(kStyleHeightParent)) size.cy = c.bottom - c.top;
        if (HasStyleB(kStyleWidthParent)) size.cx = c.right - c.left;
    }
}

void UIControl::SetPos(int x, int y, int w, int h) {
    RECT next = MakeRect(x, y, w, h);
    if (::EqualRect(&next, &pos_)) return;
    bool sizeChanged = next.right - next.left != Width() || next.bottom - next.top != Height();
    Invalidate(nullptr);
    pos_ = next;
    if (sizeChanged || HasStyleB(kStyleLayoutPending)) {
        SetStyleB(kStyleLayoutPending, false);
        Layout();
    }
    OnPositionChanged();
    Invalidate(nullptr);
}

void UIControl::Move(int x, int y, int w, int h) {
    RECT next = MakeRect(x, y, w, h);
    if (::EqualRect(&next, &pos_)) {
        Layout();
        Invalidate(nullptr);
        return;
    }
    Invalidate(nullptr);
    pos_ = next;
    const uint32_t size = (static_cast<uint32_t>(h) << 16) | (static_cast<uint32_t>(w) & 0xFFFF);
    SendMessage(WM_SIZE, 0, static_cast<LPARAM>(static_cast<int32_t>(size)));
    Invalidate(nullptr);
}

void UIControl::Layout() {
    if (layout_) {
        UIRefPtr<UILayout> layout(layout_);  // a child may replace it meanwhile
        layout->Arrange(this);
    } else {
        RECT c;
        GetClientRect(c);
        bool all = HasStyleB(kStyleContainer);
        for (const auto& child : HoldAll(children_)) {
            if (all || child->HasStyleA(kStylePosParent)) {
                child->Move(c.left, c.top, c.right - c.left, c.bottom - c.top);
            }
        }
    }
    Invalidate(nullptr);
}

void UIControl::GetHostRect(RECT& rc) {
    rc = RECT{0, 0, Width(), Height()};
    for (const UIControl* c = this; c; c = c->parent_) ::OffsetRect(&rc, c->pos_.left, c->pos_.top);
}

void UIControl::GetScreenRect(RECT& rc) {
    GetHostRect(rc);
    HWND hwnd = host_ ? host_->GetHwnd() : nullptr;
    if (hwnd) ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
}

bool UIControl::HitTestPoint(POINT pt) {
    long long x = pt.x, y = pt.y;
    for (const UIControl* c = this; c; c = c->parent_) {
        x -= c->pos_.left;
        y -= c->pos_.top;
    }
    return x >= 0 && y >= 0 && x < Width() && y < Height();
}

UIControl* UIControl::FindControlAt(int x, int y) {
    if (!IsVisibleBit() || !IsEnableBit()) return nullptr;
    POINT pt = {x, y};
    if (!::PtInRect(&pos_, pt)) return nullptr;
    const int lx = x - pos_.left, ly = y - pos_.top;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if (UIControl* found = (*it)->FindControlAt(lx, ly)) return found;
    }
    return HasStyleA(kStyleHit) ? this : nullptr;
}

// ---- Tree ----------------------------------------------------------------

void UIControl::AddChild(UIControl* child) {
    if (!child) return;
    child->parent_ = this;
    children_.push_back(child);
    if (host_) child->SetHost(host_);
}

void UIControl::SetHost(IUIContainer* host) {
    if (host_ == host) return;
    host_ = host;
    for (UIControl* child : children_) child->SetHost(host);
}

void UIControl::RemoveAllChildren() {
    std::vector<UIControl*> children;
    children.swap(children_);
    for (UIControl* child : children) {
        child->SendMessage(WM_DESTROY, 0, 0);
        child->parent_ = nullptr;
        child->Release();
    }
}

void UIControl::Detach() {
    SetStyleA(kStyleDestroyed, true);
    RemoveAllChildren();
    Invalidate(nullptr);
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = nullptr;
    host_ = nullptr;
    Release();
}

UIControl* UIControl::FindById(const std::wstring& id) {
    if (id_ == id) return this;
    for (UIControl* child : children_) {
        if (UIControl* found = child->FindById(id)) return found;
    }
    return nullptr;
}

UIControl* UIControl::GetRelative(int kind) {
    switch (kind) {
        case kFirstChild:
            return children_.empty() ? nullptr : children_.front();
        case kLastChild:
            return children_.empty() ? nullptr : children_.back();
        case kPrevSibling:
        case kNextSibling: {
            int index = IndexInParent();
            if (index < 0) return nullptr;
            int other = index + (kind == kPrevSibling ? -1 : 1);
            const auto& siblings = parent_->children_;
            if (other < 0 || other >= static_cast<int>(siblings.size())) return nullptr;
            return siblings[other];
        }
        case kParent:
            return parent_;
        default:
            return nullptr;
    }
}

int UIControl::IndexInParent() const {
    if (!parent_) return -1;
    const auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

void UIControl::MoveChildToFront(UIControl* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it != children_.end()) std::rotate(children_.begin(), it, it + 1);
}

void UIControl::PingTree() {
    UIRefPtr<UIControl> keep(this);
    SendMessage(0, 0, 0);
    for (const auto& child : HoldAll(children_)) child->PingTree();
}

// ---- Visibility and enablement -------------------------------------------

void UIControl::SetVisible(bool show, int fromParent) {
    if (fromParent != 1) {
        SetStyleA(kStyleVisible, show);
    } else if (!show || !IsVisibleBit()) {
        show = false;
    }
    bool effective = show && !(parent_ && (parent_->state_ & kStateHidden));
    ChangeState(effective ? (state_ & ~kStateHidden) : (state_ | kStateHidden));
    for (const auto& child : HoldAll(children_)) {
        child->SendMessage(WM_SHOWWINDOW, effective ? 1 : 0, 1);
    }
    if (!effective && host_) {
        if (host_->GetFocusedControl() == handle_) host_->FocusControl(0, 0);
        if (host_->GetCapturedControl() == handle_) host_->ReleaseControlCapture();
    }
    Invalidate(nullptr);
}

void UIControl::SetEnabled(bool enable, int fromParent) {
    if (fromParent != 1) {
        SetStyleA(kStyleEnable, enable);
    } else if (enable && !IsEnableBit()) {
        enable = false;
    }
    bool effective = enable && !(parent_ && (parent_->state_ & kStateDisabled));
    ChangeState(effective ? (state_ & ~kStateDisabled)
                          : ((state_ | kStateDisabled) & ~kStateHover));
}
