// A host window with edit fields for driving with the real keyboard and
// mouse: a plain field, a number field, a password field, a native child
// edit and a red "btnclose" that ends the program. On the way out it writes
// the fields' texts (the rich-text field's as its services hold it) and the Enter events they
// raised to the file named by its first argument.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIHostWnd.h"
#include "ui/controls/UIEdit.h"
#include "ui/controls/UIEditCtrl.h"
#include "ui/controls/UINativeEdit.h"

namespace {

std::wstring g_log;
// The fields outlive the window's tree, which goes with the window.
std::vector<UIRefPtr<UIControl>> g_fields;

void Record(void*, UIEvent& e) {
    const bool enter = (e.name == "edit_notify" && e.wParam == 13) || e.name == "vkreturn";
    if (!enter) return;
    g_log += L"event " + e.senderId + L" " + std::wstring(e.name.begin(), e.name.end()) + L"\n";
}

class CloseBox : public UIControl {
  public:
    void Paint(Gdiplus::Graphics& g) override {
        Gdiplus::SolidBrush brush{Gdiplus::Color(0xFFE03030)};
        g.FillRectangle(&brush, 0, 0, Width(), Height());
    }
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        if (msg == WM_LBUTTONUP) {
            Notify("click", 0, 0);
            return true;
        }
        return UIControl::HandleMessage(msg, w, l, result);
    }
};

template <typename T>
T* Add(UIControl* parent, const wchar_t* id, const wchar_t* pos, const wchar_t* style) {
    T* c = new T();
    parent->AddChild(c);
    c->SetAttribute(L"id", id);
    c->SetAttribute(L"pos", pos);
    c->SetAttribute(L"font", L"16");
    c->SetAttribute(L"back", L"clr:clr=#ffffffff");
    if (style) c->SetAttribute(L"editstyle", style);
    c->AddListener(&g_log, &Record);
    g_fields.emplace_back(c);
    return c;
}

void WriteLog(const wchar_t* path) {
    for (const auto& c : g_fields) {
        auto* rich = dynamic_cast<UIEdit*>(c.get());
        const std::wstring text = rich ? rich->ServicesText() : c->GetText();
        g_log += L"text " + c->GetId() + L" " + text + L"\n";
    }
    FILE* f = _wfopen(path, L"wb");
    if (!f) return;
    const std::string utf8(g_log.begin(), g_log.end());  // the test types ASCII
    fwrite(utf8.data(), 1, utf8.size(), f);
    fclose(f);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    {
        UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd());
        HWND hwnd =
            host->CreateHostWindow(UIHostWnd::kPopupStyle, 200, 150, 360, 240 + 40, nullptr);
        if (!hwnd) return 1;
        ::SetWindowTextW(hwnd, L"skinsetup edit test");
        auto* bg = new UIControl();
        host->AddChild(bg);
        bg->SetAttribute(L"pos", L"0,0,360,280");
        bg->SetAttribute(L"back", L"clr:clr=#ffc0c0c0");
        Add<UIEditCtrl>(bg, L"plain", L"20,20,200,26", L"");
        Add<UIEditCtrl>(bg, L"number", L"20,60,200,26", L"ES_NUMBER");
        Add<UIEditCtrl>(bg, L"pass", L"20,100,200,26", L"ES_PASSWORD");
        Add<UINativeEdit>(bg, L"native", L"20,140,200,26", nullptr);
        Add<UIEdit>(bg, L"rich", L"20,180,200,26", nullptr);
        auto* close = new CloseBox();
        bg->AddChild(close);
        close->SetAttribute(L"id", L"btnclose");
        close->SetAttribute(L"pos", L"320,10,30,20");
        ::ShowWindow(hwnd, SW_SHOW);
        ::UpdateWindow(hwnd);
        host->RunModal(nullptr);
        WriteLog(argv[1]);
        g_fields.clear();
    }
    ::LocalFree(argv);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
