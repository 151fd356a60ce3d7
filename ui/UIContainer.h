#pragma once
// The top control of a window's tree and the input routing state of that
// window: hover, capture, the controls tracked by subtree, keyboard focus and
// the font cache. It turns window input messages into control messages.
#include <windows.h>

#include <list>
#include <map>
#include <memory>
#include <string>

#include "ui/IUIContainer.h"
#include "ui/UIControl.h"
#include "ui/UIFocusManager.h"

class UIContainer : public IUIContainer, public UIControl {
  public:
    UIContainer();
    ~UIContainer() override;

    using UIControl::GetClientRect;
    using UIControl::Notify;

    // Drag and drop is not offered by this host; registrations are ignored.
    void RegisterDropTarget(uint32_t control, IDropTarget* target) override {}
    void UnregisterDropTarget(uint32_t control) override {}

    uint32_t GetCapturedControl() override { return captured_; }
    void ReleaseControlCapture() override;
    uint32_t CaptureControl(uint32_t control) override;
    void FocusControl(uint32_t control, int reason) override;
    uint32_t GetHover() override { return hover_; }
    uint32_t GetFocusedControl() override { return focus_.Focused(); }
    void AddTracked(uint32_t control) override;
    void RemoveTracked(uint32_t control) override;
    Gdiplus::Font* GetFont(const std::wstring& spec) override;
    void SetHover(UIControl* control) override;
    // Tooltips are not shown by this host.
    void ShowTooltip(UIControl* control) override {}
    bool DispatchInput(UINT msg, WPARAM wParam, LPARAM lParam) override;

    UIFocusManager& FocusManager() { return focus_; }
    const std::list<uint32_t>& TrackedControls() const { return tracked_; }

  protected:
    // Forgets the captured control without touching the system capture (for
    // when another window has taken it).
    void ClearCapturedHandle() { captured_ = 0; }

  private:
    bool RouteMouseMove(WPARAM wParam, LPARAM lParam);
    bool RouteButton(UINT msg, WPARAM wParam, LPARAM lParam);
    bool RouteWheel(UINT msg, WPARAM wParam, LPARAM lParam);
    bool RouteLeave();
    bool RouteSetCursor();
    bool RouteKey(UINT msg, WPARAM wParam, LPARAM lParam);
    bool SendToFocused(UINT msg, WPARAM wParam, LPARAM lParam);
    void ExamineTracked(UIControl* target, POINT pt);
    UIControl* Captured();

    uint32_t captured_ = 0;
    uint32_t hover_ = 0;
    UIFocusManager focus_;
    std::list<uint32_t> tracked_;
    struct FontDeleter {
        void operator()(Gdiplus::Font* font) const;
    };
    std::map<std::wstring, std::unique_ptr<Gdiplus::Font, FontDeleter>> fonts_;
};
