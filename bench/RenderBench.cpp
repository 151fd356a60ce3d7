// The cost of one paint of each kind of render spec on a 200 x 40 control
// (a window repaints every visible control's back render on each frame).
// Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "ui/GdiplusHeaders.h"
#include "ui/SkinBitmap.h"
#include "ui/UIControl.h"
#include "ui/UIFont.h"
#include "ui/UIRender.h"
#include "ui/UIResLoader.h"

namespace {

// A control without a host: text renders use the default font.
class BenchControl : public UIControl {
  public:
    void SetTextValue(const std::wstring& text) { SetText(text); }
};

double TimePaints(UIRender* render, UIControl* control, Gdiplus::Graphics& g) {
    return MedianMicros(15, 20, [&](int) { render->Draw(control, g); });
}

}  // namespace

int wmain() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        Gdiplus::Bitmap canvas(200, 40, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&canvas);
        BenchImageLoader loader;  // one 30 x 30 image under every name
        loader.SetDefault(30, 30);
        UIResLoader* previous = SetResLoader(&loader);
        BenchControl control;
        control.SetPos(0, 0, 200, 40);
        control.SetTextValue(L"Install to C:\\Program Files\\Example");
        const wchar_t* specs[] = {
            L"img:file=img\\bg.png",
            L"img:file=img\\btn.png|type=1",
            L"img:file=img\\frame.png|type=3",
            L"clr:clr=#ff5C5D5F",
            L"clr:clr=#805C5D5F|round=4|border=#ff000000",
            L"grd:clrn=#ffffffff|clrh=#ffe0e0e0|round=4",
            L"txt:font=14|clr=#ff5C5D5F|horz=1",
            L"txt:font=14|clr=#ffffffff|horz=1|shadow=1",
            L"txt:font=14|keyword=1|horz=1",
        };
        for (const wchar_t* spec : specs) {
            UIRender* render = ParseRenderSpec(spec);
            if (!render) continue;
            std::printf("%-48ls %8.1f us per paint\n", spec, TimePaints(render, &control, g));
            render->Release();
        }
        control.SetTextValue(
            L"<text clr=\"#ff5C5D5F\"><p>Read the </p><p clr=\"#ff0078d7\">"
            L"agreement</p><p> first</p></text>");
        UIRender* runs = ParseRenderSpec(L"txt:font=14|keyword=1|horz=1");
        std::printf("%-48ls %8.1f us per paint\n", L"txt:keyword=1 (three runs)",
                    TimePaints(runs, &control, g));
        runs->Release();
        SetResLoader(previous);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
