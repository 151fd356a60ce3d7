// The host window itself: its class and property, layout loading, painting
// into the back buffer, the caret, fonts and the maximised size.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "ui/UIFont.h"

namespace {

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

TEST(HostWindow, CreatesALayeredWidgetWindowThatFindsItsObject) {
    TestHost host(120, 90);
    ASSERT_NE(host.hwnd(), nullptr);
    EXPECT_EQ(ClassOf(host.hwnd()), L"UIWidget");
    EXPECT_EQ(::GetPropW(host.hwnd(), L"skinobj"), static_cast<UIWindowImp*>(host.get()));
    EXPECT_TRUE(host->IsLayered());
    EXPECT_EQ(host->GetHost(), host.get());
    EXPECT_EQ(PosText(host.get()), "0,0,120,90");
    RECT client;
    ::GetClientRect(host.hwnd(), &client);
    EXPECT_EQ(client.right, 120);  // no frame: the client is the whole window
    EXPECT_EQ(client.bottom, 90);
}

TEST(HostWindow, LayoutDocumentSizesTheWindow) {
    TestSkin skin({{u"xml\\win.xml", Bytes("<UIWnd pos=\"0,0,240,130\"><UIControl id=\"inner\" "
                                           "pos=\"10,10,20,20\"/></UIWnd>")}});
    TestHost host(100, 100, 100, 100, nullptr, L"xml\\win.xml");
    RECT rc;
    ::GetWindowRect(host.hwnd(), &rc);
    EXPECT_EQ(rc.right - rc.left, 240);
    EXPECT_EQ(rc.bottom - rc.top, 130);
    EXPECT_EQ(rc.left, 100);  // not moved
    UIControl* root = host->GetRelative(UIControl::kFirstChild);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(PosText(root), "0,0,240,130");
    EXPECT_NE(host->FindById(L"inner"), nullptr);
    EXPECT_EQ(host->FindById(L"inner")->GetHost(), host.get());
}

TEST(HostWindow, DestroyingTheWindowRemovesTheTree) {
    TestHost host(50, 50);
    AddSwatch(host.get(), L"a", L"0,0,10,10");
    ::DestroyWindow(host.hwnd());
    EXPECT_TRUE(host->Children().empty());
    EXPECT_EQ(host->GetHwnd(), nullptr);
    EXPECT_TRUE(host->IsWindowDestroyed());
}

TEST(HostPaint, ControlsAreDrawnWithAlphaAndTheRestIsTransparent) {
    TestHost host(100, 80);
    AddSwatch(host.get(), L"blue", L"10,10,30,20", 0xFF2080C0);
    // Half-transparent red: the buffer holds it premultiplied.
    AddSwatch(host.get(), L"glass", L"60,40,20,20", 0x80FF0000);
    auto* parent = AddSwatch(host.get(), L"parent", L"0,60,40,20", 0xFF00FF00);
    AddSwatch(parent, L"child", L"30,5,30,10", 0xFFFF0000);  // clipped to its parent
    host.Paint();
    const BackBuffer& buffer = host->GetBackBuffer();
    ASSERT_FALSE(buffer.IsEmpty());
    EXPECT_EQ(buffer.Width(), 100);
    EXPECT_EQ(buffer.Height(), 80);
    const struct {
        int x, y;
        uint32_t pixel;
    } cases[] = {
        {10, 10, 0xFF2080C0}, {39, 29, 0xFF2080C0}, {40, 29, 0x00000000},
        {9, 10, 0x00000000},  {60, 40, 0x80800000}, {99, 0, 0x00000000},
        {0, 60, 0xFF00FF00},  {35, 66, 0xFFFF0000}, {45, 66, 0x00000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buffer.Pixel(c.x, c.y), c.pixel) << c.x << "," << c.y;
    }
}

TEST(HostPaint, OnlyTheDirtyRectangleIsRepainted) {
    TestHost host(100, 50);
    auto* a = AddSwatch(host.get(), L"a", L"0,0,40,40", 0xFF0000FF);
    auto* b = AddSwatch(host.get(), L"b", L"50,0,40,40", 0xFF00FF00);
    host.Paint();
    EXPECT_TRUE(::IsRectEmpty(&host->PendingDirtyRect()));
    // b changes without asking to be redrawn; a asks.
    a->colour = 0xFFFF0000;
    b->colour = 0xFFFFFFFF;
    a->Invalidate(nullptr);
    RECT expected = {0, 0, 40, 40};
    EXPECT_TRUE(::EqualRect(&host->PendingDirtyRect(), &expected));
    const int bPaints = b->paints;
    host.Paint();
    EXPECT_EQ(host->GetBackBuffer().Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(host->GetBackBuffer().Pixel(55, 5), 0xFF00FF00u);  // kept from before
    EXPECT_EQ(b->paints, bPaints);
}

TEST(HostPaint, AZeroWideWindowPaintsNothingAndKeepsNoBuffer) {
    TestHost host(0, 40);
    auto* c = AddSwatch(host.get(), L"c", L"0,0,10,10", 0xFF0000FF);
    host->Invalidate(nullptr);
    host.Send(WM_PAINT);
    host.Paint();
    EXPECT_TRUE(host->GetBackBuffer().IsEmpty());
    EXPECT_EQ(c->paints, 0);
}

TEST(HostPaint, ResizingKeepsTheOldPixelsAndRepaintsAll) {
    TestHost host(40, 40);
    auto* c = AddSwatch(host.get(), L"c", L"0,0,60,60", 0xFF0000FF);
    host.Paint();
    ::SetWindowPos(host.hwnd(), nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.Paint();
    EXPECT_EQ(host->GetBackBuffer().Width(), 60);
    EXPECT_EQ(host->GetBackBuffer().Pixel(55, 55), 0xFF0000FFu);
    EXPECT_GE(c->paints, 2);
}

TEST(HostCaret, InvertsTheControlUnderItAndBlinks) {
    TestHost host(60, 40);
    auto* edit = AddSwatch(host.get(), L"edit", L"10,10,40,20", 0xFFFFFFFF);
    host->CreateHostCaret(edit->Handle(), nullptr, 2, 8);
    host->SetHostCaretPos(20, 12);
    host->ShowHostCaret(edit->Handle());
    host.Paint();
    const BackBuffer& buffer = host->GetBackBuffer();
    EXPECT_EQ(buffer.Pixel(20, 12), 0xFF000000u);
    EXPECT_EQ(buffer.Pixel(21, 19), 0xFF000000u);
    EXPECT_EQ(buffer.Pixel(22, 12), 0xFFFFFFFFu);
    // Moving it restores the old place; at the control's edge it is clipped.
    host->SetHostCaretPos(49, 12);
    host.Paint();
    EXPECT_EQ(buffer.Pixel(20, 12), 0xFFFFFFFFu);
    EXPECT_EQ(buffer.Pixel(49, 12), 0xFF000000u);
    EXPECT_EQ(buffer.Pixel(50, 12), 0x00000000u);
    // A blink tick hides it, the next shows it again.
    const UINT_PTR blink = 0x80000000u | (1u << 24) | (host->Handle() & 0xFFFFFF);
    host.Send(WM_TIMER, blink);
    host.Paint();
    EXPECT_EQ(buffer.Pixel(49, 12), 0xFFFFFFFFu);
    host.Send(WM_TIMER, blink);
    host.Paint();
    EXPECT_EQ(buffer.Pixel(49, 12), 0xFF000000u);
    host->ShowHostCaret(0);
    host.Paint();
    EXPECT_EQ(buffer.Pixel(49, 12), 0xFFFFFFFFu);
}

TEST(HostFonts, OneFontPerSpecAndTheDefaultForNone) {
    TestHost host(10, 10);
    Gdiplus::Font* a = host->GetFont(L"14u");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(host->GetFont(L"14u"), a);
    EXPECT_NE(host->GetFont(L"14"), a);
    EXPECT_EQ(host->GetFont(L""), DefaultFont());
}

TEST(HostWindow, MaximisedSizeIsTheWorkArea) {
    TestHost host(200, 100);
    host->SetResizable(true);
    MINMAXINFO info = {};
    host.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(host.hwnd(), MONITOR_DEFAULTTONEAREST), &mi));
    EXPECT_EQ(info.ptMaxSize.x, mi.rcWork.right - mi.rcWork.left);
    EXPECT_EQ(info.ptMaxSize.y, mi.rcWork.bottom - mi.rcWork.top);
    EXPECT_EQ(info.ptMaxPosition.x, mi.rcWork.left - mi.rcMonitor.left);
    EXPECT_EQ(info.ptMinTrackSize.x, 500);
    EXPECT_EQ(info.ptMinTrackSize.y, 500);
}

TEST(HostWindow, CentresOnTheWorkAreaWithoutAVisibleOwner) {
    TestHost host(200, 100, 0, 0);
    host->CenterWindow();
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(host.hwnd(), MONITOR_DEFAULTTOPRIMARY), &mi);
    RECT rc;
    ::GetWindowRect(host.hwnd(), &rc);
    EXPECT_EQ(rc.left, (mi.rcWork.left + mi.rcWork.right) / 2 - 100);
    EXPECT_EQ(rc.top, (mi.rcWork.top + mi.rcWork.bottom) / 2 - 50);
    EXPECT_EQ(rc.right - rc.left, 200);
}

}  // namespace
