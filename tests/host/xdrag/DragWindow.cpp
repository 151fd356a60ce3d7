// A host window for driving with real X input: a grey background that lets
// the mouse through ("hit" false), a blue control that does not, and a red
// "btnclose" that ends the program.
#include <windows.h>

#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIHostWnd.h"

namespace {

class FillControl : public UIControl {
  public:
    explicit FillControl(Gdiplus::ARGB colour) : colour_(colour) {}
    void Paint(Gdiplus::Graphics& g) override {
        Gdiplus::SolidBrush brush{Gdiplus::Color(colour_)};
        g.FillRectangle(&brush, 0, 0, Width(), Height());
    }
    // A press and release on the control raise "click", as a button does.
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        if (msg == WM_LBUTTONDOWN) {
            GetHost()->CaptureControl(Handle());
            return true;
        }
        if (msg == WM_LBUTTONUP) {
            GetHost()->ReleaseControlCapture();
            const POINT pt = {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            if (HitTestPoint(pt)) Notify("click", 0, 0);
            return true;
        }
        return UIControl::HandleMessage(msg, w, l, result);
    }

  private:
    Gdiplus::ARGB colour_;
};

UIControl* Add(UIControl* parent, Gdiplus::ARGB colour, const wchar_t* id, const wchar_t* pos) {
    auto* c = new FillControl(colour);
    parent->AddChild(c);
    c->SetAttribute(L"id", id);
    c->SetAttribute(L"pos", pos);
    return c;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    int code = 0;
    {
        UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd());
        HWND hwnd = host->CreateHostWindow(UIHostWnd::kPopupStyle, 200, 150, 320, 200, nullptr);
        if (!hwnd) return 1;
        ::SetWindowTextW(hwnd, L"skinsetup drag test");
        UIControl* bg = Add(host.get(), 0xFF5C5D5F, L"bg", L"0,0,320,200");
        bg->SetAttribute(L"hit", L"false");
        bg->SetAttribute(L"rgn", L"12");
        Add(bg, 0xFF2060C0, L"box", L"40,40,120,60");
        Add(bg, 0xC0E03030, L"btnclose", L"280,10,30,20");
        ::ShowWindow(hwnd, SW_SHOW);
        ::UpdateWindow(hwnd);
        code = host->RunModal(nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
    return code;
}
