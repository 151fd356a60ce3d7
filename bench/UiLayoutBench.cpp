// The cost of turning a 500-control layout document into a laid-out control
// tree (read, build, arrange) and of laying the tree out again after a
// resize. Prints median times; never fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/ControlFactory.h"
#include "ui/UIControl.h"
#include "ui/UIDocBuilder.h"
#include "app/TextConvert.h"
#include "ui/UIResLoader.h"
#include "xml/XmlDocument.h"

namespace {

// Serves one document from memory.
class MemoryLoader : public UIResLoader {
  public:
    explicit MemoryLoader(std::string doc) : doc_(std::move(doc)) {}
    std::string GetFileData(const std::wstring& name) override {
        return name == L"xml\\bench.xml" ? doc_ : std::string();
    }
    SkinBitmap* GetImage(const std::wstring&) override { return nullptr; }

  private:
    std::string doc_;
};

// 1 root, a title bar with 13 buttons, 5 pages of 6 rows of 15 controls:
// 1 + 14 + 5 * (1 + 6 * 16) = 500 controls.
std::string MakeDocument(int* count) {
    std::string d =
        R"(<UIWnd width="650" height="450" layout="vert" hit="false" back="img:file=img\bg.png">)";
    *count = 1;
    d += R"(<HLayoutCtrl float="1" pos="0,0,650,32" halign="2" space="4" xstart="8">)";
    ++*count;
    for (int b = 0; b < 13; ++b, ++*count) {
        d += "<UIControl id=\"btn" + std::to_string(b) +
             "\" pos=\"0,0,24,24\" cursor=\"hand\" tips=\"tip\"/>";
    }
    d += "</HLayoutCtrl>";
    for (int p = 0; p < 5; ++p) {
        d += "<UIControl id=\"page" + std::to_string(p) +
             "\" adj=\"1\" layout=\"vert\" padding=\"10,40,10,10\"" +
             (p > 0 ? " visible=\"false\"" : "") + ">";
        ++*count;
        for (int r = 0; r < 6; ++r) {
            d += R"(<UIControl height="40" layout="horz" padding="2,2,2,2">)";
            ++*count;
            for (int c = 0; c < 15; ++c, ++*count) {
                if (c % 5 == 0) {
                    d += "<UIControl adj=\"1\"/>";
                } else {
                    d += "<UIControl id=\"c" + std::to_string(p) + "_" + std::to_string(r) + "_" +
                         std::to_string(c) + "\" pos=\"0,0,30,20\" txt=\"label &amp; text\"/>";
                }
            }
            d += "</UIControl>";
        }
        d += "</UIControl>";
    }
    d += "</UIWnd>";
    return d;
}

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Visits every element and attribute the way the builder does, without
// making controls.
size_t WalkElement(XmlDocument& reader) {
    size_t n = 1;
    for (size_t i = 0;; ++i) {
        std::wstring name = reader.GetAttributeName(i);
        if (name.empty()) break;
        n += reader.GetAttributeValue(name).size() > 1000000 ? 1 : 0;
    }
    if (reader.EnterElement()) {
        while (reader.FindElement()) n += WalkElement(reader);
        reader.LeaveElement();
    }
    return n;
}

size_t CountTree(UIControl* c) {
    size_t n = 1;
    for (UIControl* child : c->Children()) n += CountTree(child);
    return n;
}

}  // namespace

int main() {
    int declared = 0;
    MemoryLoader loader(MakeDocument(&declared));
    SetResLoader(&loader);
    RegisterControlFactory();
    const int kRuns = 50;
    std::vector<double> build, relayout, parse, walk;
    size_t built = 0;
    for (int i = 0; i < kRuns + 3; ++i) {
        UIControl* top = new UIControl();
        top->SetPos(0, 0, 650, 450);
        UIDocBuilder builder(nullptr);
        double t0 = Now();
        UIControl* root = LoadLayout(builder, top, L"xml\\bench.xml");
        double t1 = Now();
        if (!root) {
            std::printf("bench-ui: the layout document did not load\n");
            return 0;
        }
        root->Move(0, 0, 800, 600);
        root->Move(0, 0, 650, 450);
        double t2 = Now();
        built = CountTree(root);
        top->SendMessage(WM_DESTROY, 0, 0);
        top->Release();
        if (i < 3) continue;  // warm-up
        double t3 = Now();
        XmlDocument reader;
        reader.SetText(Utf8ToWide(loader.GetFileData(L"xml\\bench.xml")));
        double t4 = Now();
        reader.FindElement();
        WalkElement(reader);
        walk.push_back(Now() - t4);
        parse.push_back(t4 - t3);
        build.push_back(t1 - t0);
        relayout.push_back((t2 - t1) / 2);
    }
    std::printf("bench-ui: %zu controls (document declares %d), median of %d runs\n", built,
                declared, kRuns);
    std::printf("  read + build + lay out the document: %.3f ms\n", Median(build));
    std::printf("    of which reading the text (UTF-8 to UTF-16, parse): %.3f ms\n", Median(parse));
    std::printf("    of which walking its elements and attributes: %.3f ms\n", Median(walk));
    std::printf("  lay out again after a resize (hidden pages are skipped): %.3f ms\n",
                Median(relayout));
    return 0;
}
