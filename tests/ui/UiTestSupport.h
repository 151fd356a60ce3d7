#pragma once
// Small pieces shared by the UI core tests: building controls from
// attribute lists and a host that records what controls ask of it.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ui/IUIContainer.h"
#include "ui/UIControl.h"

using Attrs = std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>;

// A new control of type T with the attributes applied in order, attached to
// parent (which then owns it) when given. The caller owns a parentless one.
template <typename T = UIControl>
T* MakeControl(UIControl* parent, Attrs attrs = {}) {
    T* c = new T();
    if (parent) parent->AddChild(c);
    for (const auto& kv : attrs) c->SetAttribute(kv.first, kv.second);
    return c;
}

// The rectangle of a control as x, y, w, h text, for readable failures.
inline std::string PosText(const UIControl* c) {
    const RECT& r = c->GetPos();
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
}

// Records notifications, focus and capture requests.
class FakeHost : public IUIContainer {
  public:
    struct Notified {
        UIControl* sender;
        std::string name;
    };
    std::vector<Notified> notified;
    int notifyResult = 7;
    uint32_t captured = 0;
    uint32_t focused = 0;
    uint32_t hover = 0;
    int releasedCapture = 0;

    void RegisterDropTarget(uint32_t, IDropTarget*) override {}
    void UnregisterDropTarget(uint32_t) override {}
    HWND GetHwnd() override { return nullptr; }
    bool IsLayered() override { return true; }
    void GetClientRect(RECT& rc) override { rc = RECT{0, 0, 0, 0}; }
    void InvalidateOwner(const RECT*) override {}
    uint32_t GetCapturedControl() override { return captured; }
    void ReleaseControlCapture() override {
        captured = 0;
        ++releasedCapture;
    }
    uint32_t CaptureControl(uint32_t c) override { return std::exchange(captured, c); }
    void FocusControl(uint32_t c, int) override { focused = c; }
    uint32_t GetHover() override { return hover; }
    uint32_t GetFocusedControl() override { return focused; }
    void CreateHostCaret(uint32_t, HBITMAP, int, int) override {}
    void ShowHostCaret(uint32_t) override {}
    void SetHostCaretPos(int, int) override {}
    void AddTracked(uint32_t) override {}
    void RemoveTracked(uint32_t) override {}
    Gdiplus::Font* GetFont(const std::wstring&) override { return nullptr; }
    int Notify(UIControl* sender, const char* name, WPARAM, LPARAM) override {
        notified.push_back({sender, name});
        return notifyResult;
    }
    void SetHover(UIControl*) override {}
    void ShowTooltip(UIControl*) override {}
    bool DispatchInput(UINT, WPARAM, LPARAM) override { return false; }
};
