#pragma once
// Keyboard focus inside one host window: which control has it, Tab and
// Shift+Tab traversal in document order, arrow keys inside focus groups, and
// the focus kept aside while the window itself has no native focus.
#include <windows.h>

#include <cstdint>

class IUIContainer;
class UIControl;

class UIFocusManager {
  public:
    // root: the top of the tree; container: whose FocusControl keyboard
    // navigation goes through (it also claims the native focus).
    UIFocusManager(UIControl* root, IUIContainer* container) : root_(root), container_(container) {}

    uint32_t Focused() const { return focused_; }
    int Reason() const { return reason_; }
    // The control kept aside while the window is inactive; kNothingSaved when
    // inactive with nothing kept, 0 while the window is active.
    uint32_t Saved() const { return saved_; }
    static constexpr uint32_t kNothingSaved = 0xFFFFFFFF;

    // Moves the focus; handle 0 (or a control that cannot take it) leaves
    // nothing focused. While the window is inactive only the kept control
    // changes.
    void FocusControl(uint32_t handle, int reason);
    // Tab traversal and focus-group arrows; true when the key was consumed.
    bool HandleKey(UINT key);
    // The next control to focus after `from` (null: from the start), or null.
    UIControl* FocusSearch(UIControl* from, bool backward);

    void OnNativeFocusLost();
    void OnNativeFocusGained();

    bool BelongsToTree(const UIControl* control) const;

  private:
    bool MoveInGroup(UIControl* focused, UINT key);

    UIControl* root_;
    IUIContainer* container_;
    uint32_t focused_ = 0;
    uint32_t saved_ = 0;
    bool changing_ = false;
    int reason_ = 0;
};
