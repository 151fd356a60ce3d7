#pragma once
// A label that also draws one of four state images (normal, hover, pressed,
// disabled) and turns a completed left-button click into the "click" event.
// Buttons of one "group" among siblings act as page tabs: the clicked one is
// selected and shows the control its "page" names; the others hide theirs.
#include "ui/controls/UILabel.h"
#include "ui/controls/UIStateImages.h"

class UIButton : public UILabel {
  public:
    UIButton();

    const char* GetClassName() override { return "UIButton"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    void ProcessMessage(UIMessage& record) override;

    // Draws the look of the current state index over backrect or the control.
    virtual void PaintStateImage(Gdiplus::Graphics& graphics);
    // The look of a state index, or the normal look when that one is empty.
    virtual UIRender* GetStateRender(int index);
    // A click completed on the button: page switching, then "click".
    virtual void OnClick();

    const std::wstring& GetGroup() const { return group_; }
    const std::wstring& GetPage() const { return page_; }
    const RECT& GetBackRect() const { return backRect_; }

  protected:
    // Stores a new state word; a real change is reported and repainted.
    void UpdateState(uint32_t newState);

  private:
    void OnLButtonDown();
    void OnLButtonUp(int x, int y);
    void SwitchPages();
    void SelectPage(UIButton* tab, UIControl* root);

    UIStateImages stateImages_;
    RECT backRect_ = {0, 0, 0, 0};
    std::wstring group_;
    std::wstring page_;
};
