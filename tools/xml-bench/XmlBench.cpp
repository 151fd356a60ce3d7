// Prints how fast the XML document reader indexes a 1 MB layout-like
// document, in elements per second, and how fast a full walk reads it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "xml/XmlDocument.h"

namespace {

constexpr size_t kDocumentChars = 1024 * 1024;
constexpr int kRuns = 15;

// Pages of controls with attributes, references, text and comments, as a
// large skin layout would have them, up to kDocumentChars characters.
std::wstring MakeDocument() {
    std::wstring text =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<UIWnd id=\"bench\" "
        L"pos=\"0,0,650,450\">\r\n";
    const std::wstring tail = L"</UIWnd>\r\n";
    for (size_t page = 0; text.size() + tail.size() < kDocumentChars; ++page) {
        std::wstring block = L"  <UIPage id=\"page" + std::to_wstring(page) +
                             L"\" layout=\"vertical\" padding=\"20,10,20,10\">\r\n"
                             L"    <!-- controls of one page -->\r\n";
        for (int i = 0; i < 8; ++i) {
            const std::wstring n = std::to_wstring(i);
            block +=
                L"    <UIButton id=\"btn" + n +
                L"\" pos=\"10,20,80,30\" text=\"Install &amp; run\" "
                L"img=\"img:file=img\\btn_setup.png|type=3\"/>\r\n"
                L"    <UILabel id=\"lb" +
                n + L"\" font=\"14u\" color=\"#ff5C5D5F\">\u5B89\u88C5 &#x4E2D; text</UILabel>\r\n";
        }
        block +=
            L"    <UILabel id=\"rich\"><text><p>first</p><p "
            L"color='#ff0000ff'>second</p></text></UILabel>\r\n"
            L"  </UIPage>\r\n";
        if (text.size() + block.size() + tail.size() > kDocumentChars) break;
        text += block;
    }
    text += tail;
    return text;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Visits every element and reads every attribute value, as the layout
// loader does. Returns the number of attribute values read.
size_t Walk(XmlDocument& doc) {
    size_t values = 0;
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            for (size_t i = 0;; ++i) {
                const std::wstring name = doc.GetAttributeName(i);
                if (name.empty()) break;
                values += doc.GetAttributeValue(name).size() != 0;
            }
            doc.EnterElement();
            ++depth;
        } else if (depth > 0) {
            doc.LeaveElement();
            --depth;
        } else {
            return values;
        }
    }
}

}  // namespace

int wmain() {
    const std::wstring text = MakeDocument();
    XmlDocument doc;
    if (!doc.SetText(text)) {
        std::printf("benchmark document is not well-formed\n");
        return 1;
    }
    const size_t elements = doc.GetRecordCount() - 1;

    std::vector<double> parse, walk;
    size_t values = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        doc.SetText(text);
        const auto t1 = std::chrono::steady_clock::now();
        values = Walk(doc);
        const auto t2 = std::chrono::steady_clock::now();
        parse.push_back(Seconds(t1 - t0));
        walk.push_back(Seconds(t2 - t1));
    }
    std::sort(parse.begin(), parse.end());
    std::sort(walk.begin(), walk.end());
    const double parseMedian = parse[parse.size() / 2];
    const double walkMedian = walk[walk.size() / 2];
    std::printf("document: %zu characters, %zu elements\n", text.size(), elements);
    std::printf("parse (SetText), median of %d: %.2f ms, best %.2f ms\n", kRuns, parseMedian * 1e3,
                parse.front() * 1e3);
    std::printf("parse speed: %.0f elements/s (%.1f M characters/s)\n", elements / parseMedian,
                text.size() / parseMedian / 1e6);
    std::printf("walk with every attribute value (%zu values), median: %.2f ms, %.0f elements/s\n",
                values, walkMedian * 1e3, elements / walkMedian);
    return 0;
}
