#pragma once
// The drop-down window of a combo box: a background and a vertical list
// view of item rows. A click on a row picks it; losing the keyboard focus
// or Escape closes the window. One window serves every drop-down of its box.
#include <cstdint>

#include "ui/UIHostWnd.h"
#include "ui/UIRefObj.h"

class UIComboBox;
class UIScrollVertView;

class UIComboListWidget : public UIHostWnd {
  public:
    UIComboListWidget();
    ~UIComboListWidget() override;

    const char* GetClassName() override { return "UIComboListWidget"; }
    int OnNotify(UIEvent& event) override;

    // The box the list belongs to (kept as its handle, not owned).
    void SetOwner(UIComboBox* owner);
    UIComboBox* GetOwner() const;
    UIScrollVertView* GetListView() const { return list_.get(); }
    UIControl* GetBackground() const { return background_.get(); }
    // Puts the list view 2 pixels inside the window on every side.
    void PlaceList();
    void Hide();

  protected:
    bool HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    uint32_t owner_ = 0;
    UIRefPtr<UIControl> background_;
    UIRefPtr<UIScrollVertView> list_;
};
