// The cost of opening a combo box's drop-down list (rows rebuilt, laid out,
// the selection scrolled into view, the window shown) and of painting the
// open list, for short and long item lists. Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ui/ControlFactory.h"
#include "bench/BenchSupport.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIHostWnd.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIComboListWidget.h"

namespace {

std::wstring Items(int n) {
    std::wstring data;
    for (int i = 0; i < n; ++i) data += (i ? L"|Language " : L"Language ") + std::to_wstring(i);
    return data;
}

void Measure(UIHostWnd* host, int items) {
    auto* box = new UIComboBox();
    host->AddChild(box);
    box->SetAttribute(L"pos", L"20,20,160,26");
    box->SetAttribute(L"data", Items(items));
    box->DropDown();
    box->OnItemPicked(items - 1);  // the last row: the list scrolls to it
    const double open = MedianMicros(9, 10, [box](int) {
        box->DropDown();
        ::ShowWindow(box->GetPopup()->GetNativeWindow(), SW_HIDE);
    });
    box->DropDown();
    HWND popup = box->GetPopup()->GetNativeWindow();
    const double paint = MedianMicros(9, 10, [box, popup](int) {
        box->GetPopup()->Invalidate(nullptr);
        ::UpdateWindow(popup);
    });
    std::printf("%5d items: %9.1f us per drop-down, %8.1f us per list paint\n", items, open, paint);
    ::ShowWindow(popup, SW_HIDE);
    box->Detach();
}

}  // namespace

int wmain() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    {
        UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd());
        HWND hwnd = host->CreateHostWindow(UIHostWnd::kPopupStyle, 100, 100, 300, 200, nullptr);
        if (hwnd) {
            ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
            for (int items : {3, 12, 200, 2000}) Measure(host.get(), items);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
