// skin-preview SKIN LAYOUT OUT.png [--size WxH]
// Loads the skin (a folder or a .pak package), builds the layout in a host
// window exactly as the installer would, paints it and writes the window's
// pixels with their alpha to a PNG. The window is never shown.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "package/PackageIndex.h"
#include "tools/skin-preview/SkinSource.h"
#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIHostWnd.h"
#include "ui/UIResoureMgr.h"
#include "ui/PngEncoding.h"

namespace {

struct Options {
    std::wstring skin, layout, out;
    int width = 0, height = 0;  // 0: the layout's own size
};

int Usage() {
    std::fwprintf(stderr, L"usage: skin-preview SKIN LAYOUT OUT.png [--size WxH]\n");
    return 2;
}

bool ParseSize(const std::wstring& text, int& w, int& h) {
    return std::swscanf(text.c_str(), L"%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 16384 &&
           h <= 16384;
}

bool ParseOptions(int argc, wchar_t** argv, Options& o) {
    std::vector<std::wstring> plain;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--size") {
            if (i + 1 >= argc || !ParseSize(argv[++i], o.width, o.height)) return false;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() != 3) return false;
    o.skin = plain[0];
    o.layout = plain[1];
    o.out = plain[2];
    return true;
}

// Builds, paints and saves; the message for the user on failure.
std::wstring Render(const Options& o) {
    UIRefPtr<UIHostWnd> host = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd(o.layout));
    HWND hwnd = host->CreateHostWindow(UIHostWnd::kPopupStyle, 0, 0, 100, 100, nullptr);
    if (!hwnd) return L"cannot create the window";
    if (host->Children().empty()) return L"the layout " + o.layout + L" made no controls";
    if (o.width > 0) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, o.width, o.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    host->Invalidate(nullptr);
    ::SendMessageW(hwnd, WM_PAINT, 0, 0);
    const BackBuffer& buffer = host->GetBackBuffer();
    if (buffer.IsEmpty()) return L"the layout has no size";
    CLSID png;
    if (!FindPngEncoder(png)) return L"no PNG encoder";
    if (buffer.Surface()->Save(o.out.c_str(), &png, nullptr) != Gdiplus::Ok) {
        return L"cannot write " + o.out;
    }
    std::wprintf(L"%ls: %dx%d\n", o.out.c_str(), buffer.Width(), buffer.Height());
    return std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();
    std::vector<uint8_t> skin;
    std::wstring error;
    if (!LoadSkinBytes(options.skin, skin, error)) {
        std::fwprintf(stderr, L"skin-preview: %ls\n", error.c_str());
        return 1;
    }
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    RegisterControlFactory();
    {
        // The manager's decoded images are GDI+ objects: gone before shutdown.
        PackageIndex index;
        index.BuildIndex(skin.data(), skin.size());
        UIResoureMgr manager(index);
        SetResLoader(&manager);
        error = Render(options);
        SetResLoader(nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
    if (!error.empty()) {
        std::fwprintf(stderr, L"skin-preview: %ls\n", error.c_str());
        return 1;
    }
    return 0;
}
