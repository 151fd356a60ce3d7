#pragma once
// A vertical scrolling container: a clip control holds a content control
// whose children are stacked top to bottom, and a scroll bar at the right
// edge appears when the content is taller than the clip. An optional child
// with id "header" stays above the list. The combo box's drop-down list
// fills the content.
#include "ui/UIControl.h"
#include "ui/UIRefObj.h"

class UIScrollBar;

class UIScrollVertView : public UIControl {
  public:
    static constexpr int kWheelStep = 30;

    UIScrollVertView();
    ~UIScrollVertView() override;

    const char* GetClassName() override { return "UIScrollVertView"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Layout() override;

    UIScrollBar* GetScrollBar() const { return bar_.get(); }
    // The control whose children scroll.
    UIControl* GetContent() const { return content_.get(); }
    UIControl* GetClip() const { return clip_.get(); }
    int GetBarWidth() const { return barWidth_; }

  private:
    // The scroll bar's listener. It is registered under the view's handle,
    // not its address, so a bar that outlives the view calls nothing.
    static void OnBarEvent(void* handle, UIEvent& event);
    void OnScrollPosChanged();
    bool OnWheel(WPARAM wParam);
    int ContentHeight() const;
    // Places a visible "header" child; gives the list area's top and height.
    void PlaceHeader(int& top, int& height);
    void ShowBar(bool show);

    // The view holds a reference to each besides the one its children list
    // holds, so a detached part is never a dangling pointer.
    UIRefPtr<UIScrollBar> bar_;
    UIRefPtr<UIControl> content_;
    UIRefPtr<UIControl> clip_;
    int wheelStep_ = kWheelStep;
    int barWidth_ = 8;  // "hscrollwidth"
};
