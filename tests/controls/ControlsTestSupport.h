#pragma once
// Shared pieces of the control tests: a window-like tree bound to a fake
// host, the mouse messages the host would send, an event log, and skin
// strips whose every pixel tells which frame and column it came from.
#include <windows.h>

#include <string>
#include <vector>

#include "render/RenderTestSupport.h"
#include "ui/StateIndex.h"

// Events raised by the controls a log listens to, in order.
struct EventLog {
    struct Entry {
        std::wstring id;
        std::string name;
        LPARAM lParam;
    };
    std::vector<Entry> entries;

    static void Record(void* self, UIEvent& e) {
        static_cast<EventLog*>(self)->entries.push_back({e.senderId, e.name, e.lParam});
    }
    void Listen(UIControl* c) { c->AddListener(this, &EventLog::Record); }
    // "id:name:lParam" entries joined by spaces, for readable comparisons.
    std::string Text() const {
        std::string out;
        for (const Entry& e : entries) {
            if (!out.empty()) out += ' ';
            out += std::string(e.id.begin(), e.id.end()) + ":" + e.name + ":" +
                   std::to_string(e.lParam);
        }
        return out;
    }
};

// A root control bound to a host, as a window's root is: children added to
// it reach the host; mouse points are in root coordinates.
class TestWindow {
  public:
    explicit TestWindow(int w = 400, int h = 300) {
        EnsureGdiplus();
        root_ = UIRefPtr<UIControl>::Adopt(new UIControl());
        root_->SetPos(0, 0, w, h);
        root_->SetHost(&host);
    }
    ~TestWindow() { root_->SendMessage(WM_DESTROY, 0, 0); }

    UIControl* Root() { return root_.get(); }

    template <typename T>
    T* Add(Attrs attrs, UIControl* parent = nullptr) {
        return MakeControl<T>(parent ? parent : root_.get(), attrs);
    }

    FontHost host;

  private:
    UIRefPtr<UIControl> root_;
};

// The messages the host sends for the mouse (points in root coordinates).
inline void Down(UIControl* c, int x, int y) {
    c->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
}
inline void Up(UIControl* c, int x, int y) { c->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
inline void Hover(UIControl* c) { c->SendMessage(WM_MOUSEHOVER, 0, 0); }
inline void Leave(UIControl* c) { c->SendMessage(WM_MOUSELEAVE, 0, 0); }
constexpr UINT kCaptureLost = 533;

// A press and release at the same point: what a click looks like.
inline void Click(UIControl* c, int x, int y) {
    Down(c, x, y);
    Up(c, x, y);
}

// A pixel of a strip: red tells the frame (frame i at 40 + 50 i), green the
// column inside the frame, blue the row.
inline uint32_t StripPixel(int frame, int col, int row) {
    return 0xFF000000u | uint32_t(40 + 50 * frame) << 16 | uint32_t(col & 0xFF) << 8 |
           uint32_t(row & 0xFF);
}

// A w x h BMP cut into four frames across (frame width fw) or down (frame
// height fh), coloured by StripPixel.
inline std::vector<uint8_t> HorizontalStrip(int w, int h, int fw) {
    return MakeBmp(w, h, [fw](int x, int y) { return StripPixel(std::min(x / fw, 3), x % fw, y); });
}
inline std::vector<uint8_t> VerticalStrip(int w, int h, int fh) {
    return MakeBmp(w, h, [fh](int x, int y) { return StripPixel(std::min(y / fh, 3), x, y % fh); });
}

// Paints one control, placed at the canvas origin, with nearest sampling.
inline void PaintAlone(UIControl* c, Canvas& canvas) {
    canvas.UseNearestPixels();
    c->Paint(canvas.G());
}
