#pragma once
// One row of a combo box's drop-down list: a button that fills itself with
// the line colour on odd rows, the hover colour under the mouse and the
// selected colour when it is the box's selection.
#include <cstdint>

#include "ui/controls/UIButton.h"

class UIComboBox;

class UIComboBoxItem : public UIButton {
  public:
    // owner: the combo box, not owned; kept as its handle so that an item
    // outliving its box finds none.
    UIComboBoxItem(int index, UIComboBox* owner);

    const char* GetClassName() override { return "UIComboBoxItem"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    int GetIndex() const { return index_; }
    UIComboBox* GetOwner() const;
    // The colour the row is filled with before the button's look, 0 for none.
    uint32_t FillColor() const;

  private:
    int index_;
    uint32_t owner_;
    uint32_t selColor_ = 0xFFBBDCFD;
    uint32_t hoverColor_ = 0xFFE4F1FE;
    uint32_t lineColor_ = 0xFFFCFDFF;
};
