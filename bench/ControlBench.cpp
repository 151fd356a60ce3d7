// The cost of one paint of each text-bearing control (label, button with a
// state strip, check box, switch) on its own, and of one click (the four
// messages the host sends) on a button. Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "ui/GdiplusHeaders.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UISwitch.h"

namespace {

template <typename T>
T* Make(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attrs) {
    T* c = new T();
    for (const auto& kv : attrs) c->SetAttribute(kv.first, kv.second);
    return c;
}

}  // namespace

int wmain() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        Gdiplus::Bitmap canvas(200, 45, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&canvas);
        BenchImageLoader loader;  // one 680 x 45 strip under every name
        loader.SetDefault(680, 45);
        UIResLoader* previous = SetResLoader(&loader);
        const struct {
            const char* name;
            UIControl* control;
        } controls[] = {
            {"UILabel", Make<UILabel>({{L"pos", L"0,0,200,45"}, {L"txt", L"Install folder"}})},
            {"UIButton btn + text",
             Make<UIButton>(
                 {{L"pos", L"0,0,170,45"}, {L"btn", L"img\\btn.png"}, {L"txt", L"Install"}})},
            {"UICheckBox ckimg + text", Make<UICheckBox>({{L"pos", L"0,0,200,30"},
                                                          {L"ckimg", L"img\\ck.png"},
                                                          {L"unckimg", L"img\\unck.png"},
                                                          {L"txt", L"Desktop icon"}})},
            {"UISwitch btn + btn2",
             Make<UISwitch>({{L"pos", L"0,0,60,30"}, {L"btn", L"a"}, {L"btn2", L"b"}})},
        };
        for (const auto& c : controls) {
            std::printf("%-28s %8.1f us per paint\n", c.name,
                        MedianMicros(15, 20, [&](int) { c.control->Paint(g); }));
        }
        UIControl* button = controls[1].control;
        const double click = MedianMicros(15, 20, [button](int) {
            button->SendMessage(WM_MOUSEHOVER, 0, 0);
            button->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
            button->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            button->SendMessage(WM_MOUSELEAVE, 0, 0);
        });
        std::printf("%-28s %8.2f us per sequence\n", "button messages, no host", click);
        for (const auto& c : controls) c.control->Release();
        SetResLoader(previous);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
