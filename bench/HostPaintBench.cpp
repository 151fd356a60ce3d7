// The cost of one paint of a 650 x 450 host window holding 500 filled
// controls: the whole window dirty, and one 40 x 20 control dirty (the
// common case of a hover change). Both push the full buffer to the screen.
// Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIHostWnd.h"

namespace {

class Swatch : public UIControl {
  public:
    void Paint(Gdiplus::Graphics& g) override {
        Gdiplus::SolidBrush brush{Gdiplus::Color(0xFF3070B0)};
        g.FillRectangle(&brush, 0, 0, Width(), Height());
    }
};

template <typename Fn>
double MedianMs(int runs, Fn&& fn) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    {
        UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd());
        HWND hwnd = host->CreateHostWindow(UIHostWnd::kPopupStyle, 0, 0, 650, 450, nullptr);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UIControl* last = nullptr;
        for (int i = 0; i < 500; ++i) {
            last = new Swatch();
            host->AddChild(last);
            const int x = (i % 25) * 26, y = (i / 25) * 22;
            last->SetAttribute(L"pos", std::to_wstring(x) + L"," + std::to_wstring(y) + L",24,20");
        }
        auto paint = [&] { ::SendMessageW(hwnd, WM_PAINT, 0, 0); };
        paint();
        const double full = MedianMs(50, [&] {
            host->Invalidate(nullptr);
            paint();
        });
        const double one = MedianMs(200, [&] {
            last->Invalidate(nullptr);
            paint();
        });
        std::printf(
            "host paint, 650x450, 500 controls: whole window %.3f ms, one control %.3f ms\n", full,
            one);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
