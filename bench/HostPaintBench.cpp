// Host window paint figures (medians; prints, never fails):
// - a 650 x 450 window holding 500 filled controls: the whole window dirty,
//   and one 24 x 20 control dirty (the common case of a hover change);
// - the installer's progress page: a 650 x 450 window built from a layout
//   document with a background image, a dozen text and colour controls and a
//   610-wide progress bar with skin images: a full paint, and the repaint
//   after one progress report (one "value" step), each with its layered push,
//   and how much of each is the tree walk into the back buffer;
// - a breakdown of one text draw (string format, brush, DrawString);
// - reference figures from the same run (a bare layered push of the whole
//   650 x 450 buffer, and a GDI+ draw of the 650 x 450 image), so that the
//   figures read as ratios on any machine.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Handles.h"
#include "package/PackageFormat.h"
#include "package/PackageIndex.h"
#include "ui/BackBuffer.h"
#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/PaintContext.h"
#include "ui/SkinBitmap.h"
#include "ui/TextDraw.h"
#include "ui/TreePainter.h"
#include "ui/UIFont.h"
#include "ui/UIHostWnd.h"
#include "ui/UIResoureMgr.h"
#include "ui/PngEncoding.h"

namespace {

constexpr int kW = 650, kH = 450;

class Swatch : public UIControl {
  public:
    void Paint(Gdiplus::Graphics& g) override {
        Gdiplus::SolidBrush brush{Gdiplus::Color(0xFF3070B0)};
        g.FillRectangle(&brush, 0, 0, Width(), Height());
    }
};

// The fastest run of the last MedianMs: on a busy machine long runs are
// stretched by other processes far more often than short ones, and the
// fastest run shows the work itself.
double lastFastest = 0;

template <typename Fn>
double MedianMs(int runs, Fn&& fn) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn(i);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    lastFastest = ms.front();
    return ms[ms.size() / 2];
}

UIRefPtr<UIHostWnd> ShowHost(const std::wstring& layout, int w, int h) {
    UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd(layout));
    HWND hwnd = host->CreateHostWindow(UIHostWnd::kPopupStyle, 0, 0, w, h, nullptr);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::SendMessageW(hwnd, WM_PAINT, 0, 0);
    return host;
}

void PaintNow(UIHostWnd* host) { ::SendMessageW(host->GetHwnd(), WM_PAINT, 0, 0); }

void ManyControls() {
    UIRefPtr<UIHostWnd> host = ShowHost(std::wstring(), kW, kH);
    UIControl* last = nullptr;
    for (int i = 0; i < 500; ++i) {
        last = new Swatch();
        host->AddChild(last);
        const int x = (i % 25) * 26, y = (i / 25) * 22;
        last->SetAttribute(L"pos", std::to_wstring(x) + L"," + std::to_wstring(y) + L",24,20");
    }
    PaintNow(host.get());
    const double full = MedianMs(50, [&](int) {
        host->Invalidate(nullptr);
        PaintNow(host.get());
    });
    const double one = MedianMs(200, [&](int) {
        last->Invalidate(nullptr);
        PaintNow(host.get());
    });
    std::printf("host paint, 650x450, 500 controls: whole window %.3f ms, one control %.3f ms\n",
                full, one);
}

// ---- The progress page ----------------------------------------------------

// A w x h PNG: a diagonal colour ramp, opaque.
std::vector<uint8_t> MakePng(int w, int h, BYTE red) {
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bitmap.SetPixel(x, y, Gdiplus::Color(255, red, BYTE(x * 255 / w), BYTE(y * 255 / h)));
        }
    }
    return EncodePng(bitmap);
}

std::vector<uint8_t> Utf8(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// The progress page: title, folder line, five lines of text, two buttons
// with captions, a percentage, and the bar.
const char kPage[] = R"(<UIWnd pos="0,0,650,450" back="img:file=img\bg.png">
  <UIControl pos="24,16,420,30" back="txt:font=20b|clr=#ffffffff" txt="Installing the application"/>
  <UIControl pos="604,12,30,30" back="clr:clr=#40ffffff|clrh=#80ffffff|round=4"/>
  <UIControl pos="24,80,600,24" back="txt:font=14|clr=#ffe0e0e0|trim=true" txt="C:\Program Files\Application"/>
  <UIControl pos="24,130,600,22" back="txt:font=13|clr=#ffd0d0d0" txt="Copying the program files."/>
  <UIControl pos="24,156,600,22" back="txt:font=13|clr=#ffd0d0d0" txt="Creating the shortcuts."/>
  <UIControl pos="24,182,600,22" back="txt:font=13|clr=#ffd0d0d0" txt="Registering the application."/>
  <UIControl pos="24,208,600,22" back="txt:font=13|clr=#ffd0d0d0" txt="Please wait a moment."/>
  <UIControl pos="24,234,600,22" back="txt:font=12|clr=#ffa0a0a0" txt="Do not switch the computer off."/>
  <UIControl pos="380,300,120,36" back="clr:clr=#ff2ba245|round=6">
    <UIControl pos="0,0,120,36" back="txt:font=14|clr=#ffffffff|horz=1" txt="Pause"/>
  </UIControl>
  <UIControl pos="510,300,120,36" back="clr:clr=#ff808080|round=6">
    <UIControl pos="0,0,120,36" back="txt:font=14|clr=#ffffffff|horz=1" txt="Cancel"/>
  </UIControl>
  <UIControl pos="560,370,70,20" back="txt:font=13|clr=#ffffffff|horz=2" txt="37%"/>
  <UIProgress id="bar" pos="20,400,610,12" prob="img\prob.png" prof="img\prof.png" drawtype="0"/>
</UIWnd>)";

class ProgressPageSkin {
  public:
    ProgressPageSkin() {
        WritePackage({{u"xml\\page.xml", Utf8(kPage)},
                      {u"img\\bg.png", MakePng(kW, kH, 40)},
                      {u"img\\prob.png", MakePng(30, 12, 200)},
                      {u"img\\prof.png", MakePng(610, 12, 90)}},
                     bytes_);
        index_.BuildIndex(bytes_.data(), bytes_.size());
        previous_ = SetResLoader(&manager_);
    }
    ~ProgressPageSkin() { SetResLoader(previous_); }
    ProgressPageSkin(const ProgressPageSkin&) = delete;
    ProgressPageSkin& operator=(const ProgressPageSkin&) = delete;

    UIResoureMgr& Manager() { return manager_; }

  private:
    std::vector<uint8_t> bytes_;
    PackageIndex index_;
    UIResoureMgr manager_{index_};
    UIResLoader* previous_ = nullptr;
};

// A bare layered push of a w x h buffer to its own window.
double PushReference(int w, int h) {
    BackBuffer buffer;
    buffer.Resize(w, h);
    UIRefPtr<UIHostWnd> host = ShowHost(std::wstring(), w, h);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT source = {0, 0};
    SIZE size = {w, h};
    return MedianMs(50, [&](int) {
        ::UpdateLayeredWindow(host->GetHwnd(), nullptr, nullptr, &size, buffer.Dc(), &source, 0,
                              &blend, ULW_ALPHA);
    });
}

// A layered push of only the dirty rectangle `dirty` of a w x h buffer.
double PartialPushReference(int w, int h, const RECT& dirty) {
    BackBuffer buffer;
    buffer.Resize(w, h);
    UIRefPtr<UIHostWnd> host = ShowHost(std::wstring(), w, h);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT source = {0, 0};
    SIZE size = {w, h};
    UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, &size,     buffer.Dc(),
                                    &source,      0,       &blend,  ULW_ALPHA, nullptr};
    ::UpdateLayeredWindowIndirect(host->GetHwnd(), &info);
    info.prcDirty = &dirty;
    return MedianMs(50, [&](int) { ::UpdateLayeredWindowIndirect(host->GetHwnd(), &info); });
}

// A GDI+ draw of the whole background image into a buffer of its size.
double ImageReference(Gdiplus::Image* image) {
    BackBuffer buffer;
    buffer.Resize(kW, kH);
    Gdiplus::Graphics g(buffer.Surface());
    return MedianMs(20, [&](int) { g.DrawImage(image, 0, 0, kW, kH); });
}

// The tree walk alone, into a separate buffer, clipped to `area`.
double TreeWalk(UIControl* top, const RECT& area, int runs) {
    BackBuffer buffer;
    buffer.Resize(kW, kH);
    Gdiplus::Graphics g(buffer.Surface());
    g.SetClip(Gdiplus::Rect(area.left, area.top, area.right - area.left, area.bottom - area.top));
    // As the window paints: with direct access to the buffer's pixels.
    const PaintContext context(buffer, g, area);
    return MedianMs(runs, [&](int) { PaintControlTree(top, g, area); });
}

void ProgressPage() {
    ProgressPageSkin skin;
    UIRefPtr<UIHostWnd> host = ShowHost(L"xml\\page.xml", 100, 100);
    UIControl* bar = host->FindById(L"bar");
    if (!bar || host->GetBackBuffer().Width() != kW) {
        std::printf("progress page: the layout did not load\n");
        return;
    }
    bar->SetAttribute(L"value", L"37");
    PaintNow(host.get());
    const double full = MedianMs(30, [&](int) {
        host->Invalidate(nullptr);
        PaintNow(host.get());
    });
    const double fullFastest = lastFastest;
    // One report per run, one percent further each time (wrapping at 100).
    const double report = MedianMs(200, [&](int i) {
        bar->SetAttribute(L"value", std::to_wstring(i % 100 + 1));
        PaintNow(host.get());
    });
    const double reportFastest = lastFastest;
    const RECT all = {0, 0, kW, kH};
    const double fullTree = TreeWalk(host.get(), all, 30);
    // The band of a step from 50 to 51 percent: columns 304 to 311 of the
    // bar at x = 20, y = 400.
    const RECT band = {323, 400, 332, 412};
    bar->SetAttribute(L"value", L"51");
    const double bandTree = TreeWalk(host.get(), band, 200);
    const double push = PushReference(kW, kH);
    const double pushFastest = lastFastest;
    const double bandPush = PartialPushReference(kW, kH, band);
    const double image = ImageReference(skin.Manager().GetImage(L"img\\bg.png"));
    std::printf(
        "progress page 650x450 (background image, 12 text and colour controls, 610-wide bar):\n"
        "  full paint          %7.3f ms (tree walk %7.3f ms)  = %5.2f pushes\n"
        "  progress report     %7.3f ms (tree walk %7.3f ms)  = %5.2f pushes\n"
        "  reference: bare layered push of 650x450 %.3f ms; GDI+ draw of the 650x450 image "
        "%.3f ms; layered push of the band alone %.3f ms\n"
        "  fastest runs: full paint %.3f ms, report %.3f ms, push %.3f ms\n",
        full, fullTree, full / push, report, bandTree, report / push, push, image, bandPush,
        fullFastest, reportFastest, pushFastest);
}

// Where one text draw's time goes: making its string format and brush, and
// GDI+'s own DrawString of a line in a 600 x 22 box.
void TextBreakdown() {
    BackBuffer buffer;
    buffer.Resize(kW, kH);
    Gdiplus::Graphics g(buffer.Surface());
    std::unique_ptr<Gdiplus::Font> font(CreateFontForSpec(L"13"));
    const std::wstring text = L"Copying the program files.";
    const Gdiplus::RectF box(24, 130, 600, 22);
    const double format = MedianMs(200, [&](int) {
        Gdiplus::StringFormat f;
        f.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsLineLimit);
        f.SetAlignment(Gdiplus::StringAlignmentNear);
        f.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    });
    const double brush =
        MedianMs(200, [&](int) { Gdiplus::SolidBrush b{Gdiplus::Color(0xFFD0D0D0)}; });
    Gdiplus::StringFormat f;
    f.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsLineLimit);
    f.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush b{Gdiplus::Color(0xFFD0D0D0)};
    const double draw = MedianMs(
        50, [&](int) { g.DrawString(text.c_str(), INT(text.size()), font.get(), box, &f, &b); });
    UITextOptions options;
    const double whole = MedianMs(50, [&](int) {
        DrawTextInRect(g, RECT{24, 130, 624, 152}, text, font.get(), 0xFFD0D0D0, options);
    });
    std::printf(
        "one text line: format %.4f ms, brush %.4f ms, DrawString %.3f ms, DrawTextInRect %.3f "
        "ms\n",
        format, brush, draw, whole);
}

}  // namespace

int main() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    ManyControls();
    ProgressPage();
    TextBreakdown();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
