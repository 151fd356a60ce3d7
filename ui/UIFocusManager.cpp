#include "ui/UIFocusManager.h"

#include <vector>

#include "ui/UIControl.h"
#include "ui/UIControlRegistry.h"

namespace {

constexpr UINT kWantTab = 0x02;  // dialog code: the control handles Tab itself

bool IsShownAndEnabled(const UIControl* c) {
    const uint32_t off = UIControl::kStateHidden | UIControl::kStateDisabled;
    return (c->GetState() & off) == 0 && c->IsVisibleBit() && c->IsEnableBit();
}

// Every shown, enabled control below root in document order. A hidden or
// disabled control hides its whole subtree from the keyboard.
void CollectPreOrder(UIControl* parent, std::vector<UIControl*>& out) {
    for (UIControl* child : parent->Children()) {
        if (!IsShownAndEnabled(child)) continue;
        out.push_back(child);
        CollectPreOrder(child, out);
    }
}

bool KeyDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

class ReentryGuard {
  public:
    explicit ReentryGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~ReentryGuard() { flag_ = false; }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

bool UIFocusManager::BelongsToTree(const UIControl* control) const {
    for (const UIControl* c = control; c; c = c->GetParent()) {
        if (c == root_) return true;
    }
    return false;
}

void UIFocusManager::FocusControl(uint32_t handle, int reason) {
    if (handle == focused_) return;
    if (saved_ != 0) {
        saved_ = handle ? handle : kNothingSaved;
        return;
    }
    if (changing_) return;
    ReentryGuard guard(changing_);
    UIRefPtr<UIControl> old(UIControlRegistry::Instance().Find(focused_));
    focused_ = 0;
    if (old) old->SendMessage(WM_KILLFOCUS, handle, 0);
    UIRefPtr<UIControl> next(UIControlRegistry::Instance().Find(handle));
    if (!next || (next->GetState() & UIControl::kStateDisabled) || !next->IsFocusable()) return;
    focused_ = handle;
    reason_ = reason;
    next->SendMessage(WM_SETFOCUS, 0, reason);
}

UIControl* UIFocusManager::FocusSearch(UIControl* from, bool backward) {
    std::vector<UIControl*> order;
    CollectPreOrder(root_, order);
    const int n = static_cast<int>(order.size());
    int start = backward ? n : -1;
    for (int i = 0; from && i < n; ++i) {
        if (order[i] == from) start = i;
    }
    const bool skipGroup = from && from->IsInFocusGroup();
    auto pick = [&](int i) -> UIControl* {
        UIControl* c = order[i];
        if (!c->IsFocusable()) return nullptr;
        // A focus group is one stop: its other members are reached by arrows.
        if (skipGroup && c != from && c->IsInFocusGroup() && c->GetParent() == from->GetParent())
            return nullptr;
        UIControl* delegate = c->GetFocusDelegate();
        return delegate ? delegate : c;
    };
    const int step = backward ? -1 : 1;
    for (int i = start + step; i >= 0 && i < n; i += step) {
        if (UIControl* c = pick(i)) return c;
    }
    // Wrap around once.
    for (int i = backward ? n - 1 : 0; i >= 0 && i < n; i += step) {
        if (UIControl* c = pick(i)) return c;
    }
    return nullptr;
}

bool UIFocusManager::HandleKey(UINT key) {
    UIControl* focused = UIControlRegistry::Instance().Find(focused_);
    if (key == VK_TAB && !(focused && (focused->GetDialogCode() & kWantTab)) &&
        !KeyDown(VK_CONTROL)) {
        if (focused && !BelongsToTree(focused)) focused = nullptr;
        if (UIControl* next = FocusSearch(focused, KeyDown(VK_SHIFT))) {
            container_->FocusControl(next->Handle(), 1);
        }
        return true;
    }
    if (focused && focused->IsInFocusGroup()) return MoveInGroup(focused, key);
    return false;
}

bool UIFocusManager::MoveInGroup(UIControl* focused, UINT key) {
    int step = 0;
    if (key == VK_LEFT || key == VK_UP) step = -1;
    if (key == VK_RIGHT || key == VK_DOWN) step = 1;
    // Other keys belong to the control (a radio box answers Space itself).
    if (step == 0) return false;
    UIControl* parent = focused->GetParent();
    const int index = focused->IndexInParent();
    if (!parent || index < 0) return true;
    const auto& siblings = parent->Children();
    const int n = static_cast<int>(siblings.size());
    for (int k = 1; k < n; ++k) {
        UIControl* c = siblings[((index + step * k) % n + n) % n];
        if (c->IsInFocusGroup() && IsShownAndEnabled(c)) {
            container_->FocusControl(c->Handle(), 1);
            break;
        }
    }
    return true;
}

void UIFocusManager::OnNativeFocusLost() {
    UIRefPtr<UIControl> focused(UIControlRegistry::Instance().Find(focused_));
    focused_ = 0;
    if (focused && BelongsToTree(focused.get())) {
        saved_ = focused->Handle();
        focused->SendMessage(WM_KILLFOCUS, 0, 0);
    } else {
        saved_ = kNothingSaved;
    }
}

void UIFocusManager::OnNativeFocusGained() {
    const uint32_t saved = saved_;
    saved_ = 0;
    if (saved == kNothingSaved) return;
    UIRefPtr<UIControl> c(UIControlRegistry::Instance().Find(saved));
    if (!c || !IsShownAndEnabled(c.get())) return;
    focused_ = saved;
    reason_ = 2;
    c->SendMessage(WM_SETFOCUS, 0, 2);
}
