// The caption strip, which drags and maximises its window through the
// system, and the plain image control.
#include <gtest/gtest.h>

#include "MoreControlsTestSupport.h"
#include "ui/controls/UICaption.h"
#include "ui/controls/UIImage.h"

namespace {

RECT WindowRect(HWND hwnd) {
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

std::string RectText(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
           "," + std::to_string(rc.bottom);
}

// A host that may be smaller than the installer windows, so that restoring
// gives back the size it had.
class SmallHost : public UIHostWnd {
  public:
    SIZE GetMinTrackSize() override { return SIZE{100, 100}; }
};

// A host window of the given style with a caption strip over its top.
class CaptionWindow {
  public:
    explicit CaptionWindow(DWORD style, int x = 200, int y = 150) {
        EnsureGdiplus();
        host_ = UIRefPtr<UIHostWnd>::Adopt(new SmallHost());
        hwnd_ = host_->CreateHostWindow(style, x, y, 240, 160, nullptr);
        AddSwatch(host_.get(), L"bg", L"0,0,240,160", 0xFF808080);
        caption = MakeControl<UICaption>(host_.get(), {{L"pos", L"0,0,240,30"}});
        ::ShowWindow(hwnd_, SW_SHOW);
        ::UpdateWindow(hwnd_);
    }
    HWND hwnd() const { return hwnd_; }
    UIHostWnd* host() const { return host_.get(); }
    UICaption* caption = nullptr;

  private:
    UIRefPtr<UIHostWnd> host_;
    HWND hwnd_ = nullptr;
};

// Real input: a press on the caption and a drag move the window with it.
TEST(CaptionTest, APressAndDragMovesTheWindow) {
    CaptionWindow window(UIHostWnd::kPopupStyle);
    ::SetForegroundWindow(window.hwnd());
    PumpPending();
    const RECT before = WindowRect(window.hwnd());
    const POINT start = {before.left + 50, before.top + 15};
    std::vector<POINT> path;
    for (int i = 0; i <= 5; ++i) path.push_back(POINT{start.x + 16 * i, start.y + 8 * i});
    RealDrag(path);
    const RECT expected = {before.left + 80, before.top + 40, before.right + 80,
                           before.bottom + 40};
    EXPECT_TRUE(PumpUntil([&] {
        return RectText(WindowRect(window.hwnd())) == RectText(expected);
    })) << RectText(before)
        << " -> " << RectText(WindowRect(window.hwnd()));
    // The host saw the press end: nothing holds the mouse any more.
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(window.host()->GetCapturedControl(), 0u);
}

TEST(CaptionTest, DoubleClickMaximisesOnlyAWindowThatMayBe) {
    const struct {
        DWORD extra;
        bool maximises;
    } cases[] = {
        {0, false},
        {WS_THICKFRAME, false},
        {WS_MAXIMIZEBOX, false},
        {WS_THICKFRAME | WS_MAXIMIZEBOX, true},
    };
    for (const auto& c : cases) {
        CaptionWindow window(UIHostWnd::kPopupStyle | c.extra);
        const RECT before = WindowRect(window.hwnd());
        window.caption->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 15));
        EXPECT_EQ(::IsZoomed(window.hwnd()) != 0, c.maximises) << c.extra;
        if (!c.maximises) {
            EXPECT_EQ(RectText(WindowRect(window.hwnd())), RectText(before)) << c.extra;
            continue;
        }
        window.caption->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 15));
        EXPECT_FALSE(::IsZoomed(window.hwnd()));
        EXPECT_EQ(RectText(WindowRect(window.hwnd())), RectText(before));
    }
}

TEST(CaptionTest, APressOnAMaximisedWindowOnlyRemembersIt) {
    CaptionWindow window(UIHostWnd::kPopupStyle | WS_THICKFRAME | WS_MAXIMIZEBOX);
    ::ShowWindow(window.hwnd(), SW_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(window.hwnd()));
    const RECT before = WindowRect(window.hwnd());
    window.caption->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 15));
    EXPECT_TRUE(window.caption->IsPressedWhileMaximised());
    EXPECT_EQ(RectText(WindowRect(window.hwnd())), RectText(before));
    window.caption->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 15));
    EXPECT_FALSE(window.caption->IsPressedWhileMaximised());
}

TEST(ImageTest, DrawsTheNamedImageStretchedOverItself) {
    TestSkin skin({{u"img\\logo.png", MakeBmp(2, 2, [](int x, int y) {
                        return x == 0 ? 0xFFFF0000u : (y == 0 ? 0xFF00FF00u : 0xFF0000FFu);
                    })}});
    const struct {
        const wchar_t* name;
        bool draws;
    } cases[] = {{L"img\\logo.png", true}, {L"img\\missing.png", false}, {L"", false}};
    for (const auto& c : cases) {
        TestWindow window;
        auto* image = window.Add<UIImage>({{L"pos", L"0,0,40,20"}, {L"back", c.name}});
        EXPECT_EQ(image->GetImageName(), c.name);
        EXPECT_EQ(image->GetAttribute(L"back"), L"");
        EXPECT_EQ(image->GetBack(), nullptr);
        Canvas canvas(40, 20);
        PaintAlone(image, canvas);
        if (!c.draws) {
            EXPECT_EQ(FindInk(canvas).count, 0);
            continue;
        }
        // Each source pixel covers a 20 x 10 block.
        EXPECT_EQ(canvas.At(0, 0), 0xFFFF0000u);
        EXPECT_EQ(canvas.At(19, 19), 0xFFFF0000u);
        EXPECT_EQ(canvas.At(20, 0), 0xFF00FF00u);
        EXPECT_EQ(canvas.At(39, 9), 0xFF00FF00u);
        EXPECT_EQ(canvas.At(20, 10), 0xFF0000FFu);
        EXPECT_EQ(canvas.At(39, 19), 0xFF0000FFu);
    }
}

}  // namespace
