#pragma once
// A real host window for tests, and a control that paints a solid colour and
// records the messages it receives.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/GdiplusHeaders.h"
#include "ui/TestSkin.h"
#include "ui/UIHostWnd.h"
#include "ui/UiTestSupport.h"

// Every message a SwatchControl received: (control id, message, wParam).
struct Received {
    std::wstring id;
    UINT msg;
    WPARAM wParam;
};
inline std::vector<Received>& MessageLog() {
    static std::vector<Received> log;
    return log;
}

// How many times the control got `msg` since the log was cleared.
inline int CountOf(const std::wstring& id, UINT msg) {
    int n = 0;
    for (const Received& r : MessageLog()) n += (r.id == id && r.msg == msg) ? 1 : 0;
    return n;
}

class SwatchControl : public UIControl {
  public:
    // Premultiplied-safe: keep colours opaque or premultiply by hand in tests.
    Gdiplus::ARGB colour = 0xFF000000;
    bool focusable = false;
    bool inGroup = false;
    bool capturesOnPress = true;
    int paints = 0;

    bool IsFocusable() override { return focusable; }
    bool IsInFocusGroup() override { return inGroup; }

    void Paint(Gdiplus::Graphics& g) override {
        ++paints;
        Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
        g.FillRectangle(&brush, 0, 0, Width(), Height());
    }

    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        MessageLog().push_back({GetId(), msg, w});
        IUIContainer* host = GetHost();
        if (msg == WM_LBUTTONDOWN && capturesOnPress && host) {
            host->CaptureControl(Handle());
            return true;
        }
        if (msg == WM_LBUTTONUP && host) {
            const bool wasCaptured = host->GetCapturedControl() == Handle();
            if (wasCaptured) host->ReleaseControlCapture();
            const POINT pt = {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            if (HitTestPoint(pt)) Notify("click", 0, 0);
            return true;
        }
        return UIControl::HandleMessage(msg, w, l, result);
    }
};

// A swatch under parent with the given id, "x,y,w,h" and colour.
inline SwatchControl* AddSwatch(UIControl* parent, const wchar_t* id, const wchar_t* pos,
                                Gdiplus::ARGB colour = 0xFF000000, Attrs extra = {}) {
    auto* c = MakeControl<SwatchControl>(parent, {{L"id", id}, {L"pos", pos}});
    for (const auto& kv : extra) c->SetAttribute(kv.first, kv.second);
    c->colour = colour;
    return c;
}

// A shown, layered host window at (x, y), owned by the test.
class TestHost {
  public:
    TestHost(int w, int h, int x = 100, int y = 100, HWND owner = nullptr,
             const std::wstring& layout = std::wstring()) {
        EnsureGdiplus();
        host_ = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd(layout));
        hwnd_ = host_->CreateHostWindow(UIHostWnd::kPopupStyle, x, y, w, h, owner);
        if (hwnd_) ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        MessageLog().clear();
    }
    ~TestHost() { host_.reset(); }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    UIHostWnd* operator->() const { return host_.get(); }
    UIHostWnd* get() const { return host_.get(); }
    HWND hwnd() const { return hwnd_; }

    // Paints whatever is dirty now.
    void Paint() const { ::UpdateWindow(hwnd_); }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageW(hwnd_, msg, w, l);
    }
    LRESULT Mouse(UINT msg, int x, int y, WPARAM w = 0) const {
        return Send(msg, w, MAKELPARAM(x, y));
    }

  private:
    UIRefPtr<UIHostWnd> host_;
    HWND hwnd_ = nullptr;
};
