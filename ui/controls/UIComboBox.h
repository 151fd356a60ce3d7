#pragma once
// A drop-down list box: a label showing the selected item's text over a
// background strip, a drop-down arrow at the right, and a popup window that
// lists the items. Picking an item other than the selected one raises
// "comboselectchanged".
#include <string>
#include <vector>

#include "ui/UIRefObj.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UIStateImages.h"

class UIComboBoxItem;
class UIComboListWidget;

class UIComboBox : public UILabel {
  public:
    static constexpr int kDefaultItemHeight = 28;
    static constexpr int kDefaultVisibleItems = 8;

    UIComboBox();
    ~UIComboBox() override;

    const char* GetClassName() override { return "UIComboBox"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    void ProcessMessage(UIMessage& record) override;
    void GetTextRect(RECT& rc) override;

    // Background and arrow in the current state.
    virtual void PaintBox(Gdiplus::Graphics& graphics);
    virtual int GetListHeight();
    virtual int GetListWidth();
    // One new row per item, each holding the reference its caller owns.
    virtual void CreateItems(std::vector<UIComboBoxItem*>& out);
    virtual UIComboListWidget* CreatePopup();
    virtual UIComboBoxItem* CreateItem(int index);

    // Opens the list below the box (above it near the bottom of the work
    // area) and gives it the keyboard focus.
    void DropDown();
    // A row of the list was clicked: the list has closed; a different valid
    // item becomes the selection.
    void OnItemPicked(int index);

    const std::vector<std::wstring>& GetItems() const { return items_; }
    int GetSelection() const { return selection_; }
    bool IsClickDrop() const { return clickDrop_; }
    bool IsArrowHover() const { return arrowHover_; }
    bool IsArrowPressed() const { return arrowPressed_; }
    int GetBarWidth() const { return barWidth_; }
    UIComboListWidget* GetPopup() const { return popup_.get(); }
    // The arrow zone in the control's own coordinates.
    RECT ArrowZone() const;

  private:
    void AddItems(const std::wstring& data);
    void OnMouseMove(POINT pt);
    void OnLButtonDown(POINT pt);
    void OnLButtonUp();
    bool EnsurePopup();
    RECT PopupScreenRect();
    void DestroyPopup();
    void LoadArrow(const std::wstring& imageName);

    UIStateImages back_;
    UIStateImages arrow_;
    SIZE arrowFrame_ = {0, 0};
    RECT textInsets_ = {5, 2, 25, 2};
    bool arrowHover_ = false;
    bool arrowPressed_ = false;
    UIRefPtr<UIComboListWidget> popup_;
    std::vector<std::wstring> items_;
    int barWidth_ = 8;
    int itemHeight_ = kDefaultItemHeight;
    int visibleItems_ = kDefaultVisibleItems;
    int listWidth_ = 0;
    int selection_ = -1;
    bool clickDrop_ = true;
};
