// A repaint touches only the controls under the dirty area, and what the
// window shows after each layered push (whole or dirty part only) is the
// whole back buffer.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "app/Handles.h"

namespace {

// The colour (alpha dropped) the screen shows at each point of the window.
class WindowPixels {
  public:
    explicit WindowPixels(HWND hwnd) {
        RECT rc;
        ::GetWindowRect(hwnd, &rc);
        const POINT at = {rc.left, rc.top};
        ::OffsetRect(&rc, -rc.left, -rc.top);
        width_ = rc.right;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = rc.right;
        bmi.bmiHeader.biHeight = -rc.bottom;  // top-down
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
        UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        if (!bitmap_ || !bits || !dc) return;
        HGDIOBJ old = ::SelectObject(dc.get(), bitmap_.get());
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(dc.get(), 0, 0, rc.right, rc.bottom, screen, at.x, at.y, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        ::SelectObject(dc.get(), old);
        bits_ = static_cast<const uint32_t*>(bits);
    }
    uint32_t Rgb(int x, int y) const { return bits_ ? bits_[y * width_ + x] & 0xFFFFFF : 1; }

  private:
    UniqueGdiObject bitmap_;
    const uint32_t* bits_ = nullptr;
    int width_ = 0;
};

TEST(HostPaintArea, OnlyControlsUnderTheAreaArePaintedAndClipped) {
    TestHost host(100, 60);
    auto* parent = AddSwatch(host.get(), L"p", L"10,10,60,40", 0xFF808080);
    auto* a = AddSwatch(parent, L"a", L"0,0,20,20", 0xFFFF0000);
    auto* b = AddSwatch(parent, L"b", L"40,20,20,20", 0xFF00FF00);
    auto* c = AddSwatch(parent, L"c", L"50,30,30,20", 0xFF0000FF);  // reaches past its parent
    auto* d = AddSwatch(host.get(), L"d", L"80,0,20,60", 0xFFFFFF00);
    SwatchControl* all[] = {parent, a, b, c, d};
    host.Paint();
    const struct {
        RECT area;
        int painted[5];  // parent, a, b, c, d
    } cases[] = {
        {{0, 0, 100, 60}, {1, 1, 1, 1, 1}},  {{12, 12, 14, 14}, {1, 1, 0, 0, 0}},  // inside a
        {{60, 45, 62, 47}, {1, 0, 1, 1, 0}},  // where b and c overlap
        {{70, 45, 80, 60}, {0, 0, 0, 0, 0}},  // c's part outside its parent
        {{85, 5, 86, 6}, {0, 0, 0, 0, 1}},    // d only
        {{0, 55, 10, 60}, {0, 0, 0, 0, 0}},   // no control at all
        {{69, 49, 81, 50}, {1, 0, 1, 1, 1}},  // a row across b, c and d
    };
    for (const auto& t : cases) {
        for (auto* s : all) s->paints = 0;
        host->Invalidate(&t.area);
        host.Paint();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(all[i]->paints, t.painted[i])
                << all[i]->GetId() << " for area " << t.area.left << "," << t.area.top;
        }
    }
    const BackBuffer& buffer = host->GetBackBuffer();
    EXPECT_EQ(buffer.Pixel(65, 45), 0xFF0000FFu);  // c inside its parent
    EXPECT_EQ(buffer.Pixel(75, 45), 0x00000000u);  // c cut off at the parent's edge
    EXPECT_EQ(buffer.Pixel(5, 55), 0x00000000u);
}

TEST(HostPaintArea, TheWindowShowsTheWholeBufferAfterEachPush) {
    TestHost host(80, 40);
    auto* a = AddSwatch(host.get(), L"a", L"0,0,40,40", 0xFFFF0000);
    auto* b = AddSwatch(host.get(), L"b", L"40,0,40,40", 0xFF00FF00);
    host.Paint();
    const struct {
        SwatchControl* changed;
        Gdiplus::ARGB colour;
        bool moveFirst;  // the window moves before the repaint
        uint32_t left, right;
    } steps[] = {
        {a, 0xFF0000FF, false, 0x0000FF, 0x00FF00},
        {b, 0xFFFFFFFF, false, 0x0000FF, 0xFFFFFF},
        {a, 0xFF00FFFF, true, 0x00FFFF, 0xFFFFFF},
        {b, 0xFF000080, true, 0x00FFFF, 0x000080},
    };
    int x = 100;
    for (const auto& s : steps) {
        if (s.moveFirst) {
            x += 150;
            ::SetWindowPos(host.hwnd(), nullptr, x, 120, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        s.changed->colour = s.colour;
        s.changed->Invalidate(nullptr);
        host.Paint();
        const WindowPixels shown(host.hwnd());
        EXPECT_EQ(shown.Rgb(10, 10), s.left) << "after " << s.changed->GetId();
        EXPECT_EQ(shown.Rgb(70, 30), s.right) << "after " << s.changed->GetId();
    }
}

}  // namespace
