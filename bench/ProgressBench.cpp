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

#include "ui/GdiplusHeaders.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"
#include "ui/controls/UIProgress.h"

namespace {

constexpr int kW = 610, kH = 20;

// An opaque w x h 32-bit BMP file.
std::vector<uint8_t> MakeBmp(int w, int h) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + w * h * 4;
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<uint8_t> out(file.bfSize, 0x80);
    memcpy(out.data(), &file, sizeof(file));
    memcpy(out.data() + sizeof(file), &info, sizeof(info));
    return out;
}

// "short.bmp" is a 30-pixel bar end image, "long.bmp" a full-width bar.
class ImageLoader : public UIResLoader {
  public:
    ImageLoader() {
        Add(L"short.bmp", 30);
        Add(L"long.bmp", kW);
    }
    std::string GetFileData(const std::wstring&) override { return {}; }
    SkinBitmap* GetImage(const std::wstring& name) override {
        auto it = images_.find(name);
        return it == images_.end() ? nullptr : it->second.get();
    }

  private:
    void Add(const std::wstring& name, int w) {
        const std::vector<uint8_t> bmp = MakeBmp(w, kH);
        images_[name].reset(DecodeImage(bmp.data(), bmp.size()));
    }
    std::map<std::wstring, std::unique_ptr<SkinBitmap>> images_;
};

// Sums the widths of the areas its child invalidates.
class CountingParent : public UIControl {
  public:
    long long columns = 0;
    void Invalidate(const RECT* rc) override { columns += rc ? rc->right - rc->left : Width(); }
};

double MedianMicros(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Fn>
double Time(int repeat, Fn&& fn) {
    std::vector<double> samples;
    for (int round = 0; round < 15; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeat; ++i) fn(i);
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count() / repeat);
    }
    return MedianMicros(samples);
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
        ImageLoader loader;
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
