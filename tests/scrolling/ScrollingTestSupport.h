#pragma once
// Shared pieces of the scrolling-control tests: painting a control tree the
// way the host window does, mouse messages in host coordinates, an event
// recorder and a parent that records what its children ask of it.
#include <windows.h>

#include <string>
#include <vector>

#include "render/RenderTestSupport.h"

// Paints c and its visible subtree: each child clipped to its rectangle,
// with the origin moved to its top-left corner.
inline void PaintTree(UIControl* c, Gdiplus::Graphics& g) {
    c->Paint(g);
    for (UIControl* child : c->Children()) {
        if (!child->IsVisibleBit()) continue;
        const RECT& p = child->GetPos();
        const Gdiplus::GraphicsState saved = g.Save();
        g.IntersectClip(Gdiplus::Rect(p.left, p.top, p.right - p.left, p.bottom - p.top));
        Gdiplus::Region clip;
        g.GetClip(&clip);
        if (!clip.IsEmpty(&g)) {
            g.TranslateTransform(Gdiplus::REAL(p.left), Gdiplus::REAL(p.top));
            child->ClipToRegion(g);
            PaintTree(child, g);
        }
        g.Restore(saved);
    }
}

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Wheel messages carry the delta in the high word of wParam.
inline WPARAM WheelDelta(int delta) { return MAKEWPARAM(0, static_cast<WORD>(delta)); }

struct RecordedEvent {
    std::string name;
    LPARAM lParam;
    bool operator==(const RecordedEvent& o) const { return name == o.name && lParam == o.lParam; }
};

inline std::ostream& operator<<(std::ostream& os, const RecordedEvent& e) {
    return os << e.name << "(" << e.lParam << ")";
}

// Listens to one control's events.
class EventLog {
  public:
    explicit EventLog(UIControl* c) { c->AddListener(this, &EventLog::Record); }
    std::vector<RecordedEvent> events;

  private:
    static void Record(void* self, UIEvent& e) {
        static_cast<EventLog*>(self)->events.push_back({e.name, e.lParam});
    }
};

// A parent that records the areas its children invalidate (in its own
// coordinates) and the wheel messages that reach it.
class RecordingParent : public UIControl {
  public:
    std::vector<RECT> invalidated;
    std::vector<int> wheelDeltas;

    void Invalidate(const RECT* rc) override {
        invalidated.push_back(rc ? *rc : RECT{0, 0, Width(), Height()});
    }
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg == WM_MOUSEWHEEL) wheelDeltas.push_back(GET_WHEEL_DELTA_WPARAM(wParam));
        return UIControl::HandleMessage(msg, wParam, lParam, result);
    }
};

// Opaque colours for synthetic images and colour specs.
constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;
constexpr uint32_t kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF;

// Channels within tol of each other (anti-aliasing and premultiplication
// round by a unit or two).
inline bool Near(uint32_t a, uint32_t b, int tol = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        if (ca - cb > tol || cb - ca > tol) return false;
    }
    return true;
}
