// The progress bar on the install's critical path: the cost of one progress
// report (setting "value") and of one paint of a 610 x 20 bar, plain and
// with skin images, and how much of the bar a report repaints.
// Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "ui/GdiplusHeaders.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"
#include "ui/controls/UIProgress.h"

namespace {

constexpr int kW = 610, kH = 20;

// Sums the widths of the areas its child invalidates.
class CountingParent : public UIControl {
  public:
    long long columns = 0;
    void Invalidate(const RECT* rc) override { columns += rc ? rc->right - rc->left : Width(); }
};

template <typename Fn>
double Time(int repeat, Fn&& fn) {
    return MedianMicros(15, repeat, fn);
}

const std::wstring kValues[] = {L"0",  L"10", L"20", L"30", L"40",  L"50",
                                L"60", L"70", L"80", L"90", L"100", L"101"};

void Measure(const char* name,
             std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attrs,
             Gdiplus::Graphics& g) {
    UIRefPtr<CountingParent> parent = UIRefPtr<CountingParent>::Adopt(new CountingParent());
    auto* bar = new UIProgress();
    parent->AddChild(bar);
    bar->SetPos(0, 0, kW, kH);
    for (const auto& kv : attrs) bar->SetAttribute(kv.first, kv.second);
    const double report = Time(1200, [&](int i) { bar->SetAttribute(L"value", kValues[i % 12]); });
    bar->SetAttribute(L"value", L"50");
    const double paint = Time(20, [&](int) { bar->Paint(g); });
    // The host repaints only the dirty area: a one-percent step's band.
    g.SetClip(Gdiplus::Rect(303, 0, 9, kH));
    const double band = Time(20, [&](int) { bar->Paint(g); });
    g.ResetClip();
    // One install: a report per file, 2000 files, each percent reported 20
    // times; the columns repainted against the whole bar each time.
    parent->columns = 0;
    bar->SetAttribute(L"value", L"0");
    for (int file = 0; file < 2000; ++file) {
        bar->SetAttribute(L"value", std::to_wstring((file + 1) * 100 / 2000));
    }
    std::printf(
        "%-20s report %5.2f us  paint %6.1f us  band paint %6.1f us  columns repainted %lld of "
        "%lld\n",
        name, report, paint, band, parent->columns, 2000LL * kW);
}

}  // namespace

int wmain() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        Gdiplus::Bitmap canvas(kW, kH, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&canvas);
        // "short.bmp" is a 30-pixel bar end image, "long.bmp" a full-width bar.
        BenchImageLoader loader;
        loader.Add(L"short.bmp", 30, kH);
        loader.Add(L"long.bmp", kW, kH);
        UIResLoader* previous = SetResLoader(&loader);
        Measure("plain", {}, g);
        Measure("three-slice images", {{L"prob", L"short.bmp"}, {L"prof", L"short.bmp"}}, g);
        Measure("cut bar image",
                {{L"prob", L"short.bmp"}, {L"prof", L"long.bmp"}, {L"drawtype", L"0"}}, g);
        SetResLoader(previous);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
