// Mutated and hostile documents: the reader never crashes or loops, and the
// index it builds stays consistent with the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "xml/XmlDocument.h"

namespace {

const wchar_t kMainLayout[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    L"<!-- installer main window -->\r\n"
    L"<UIWnd id=\"mainwnd\" pos=\"0,0,650,450\" layout=\"vertical\" hittest=\"false\">\r\n"
    L"  <UICaption id=\"caption\" pos=\"0,0,650,40\" "
    L"bkimg=\"img:file=img\\bg_setup1.png|type=3\">\r\n"
    L"    <UIImage id=\"logo\" pos=\"10,8,24,24\" img=\"img:file=img\\smlogo.png\"/>\r\n"
    L"    <UIButton id=\"closebtn\" pos=\"610,8,32,24\" "
    L"img=\"img:file=img\\close.png|type=3\"/>\r\n"
    L"  </UICaption>\r\n"
    L"  <UIPage id=\"page1\" layout='vertical' padding=\"20,10,20,10\">\r\n"
    L"    <UILabel id=\"title\" font=\"14u\" color=\"#ff5C5D5F\" text=\"安装 &amp; 更新\"/>\r\n"
    L"    <UIEdit id=\"path\" pos=\"20,300,480,30\" bkimg=\"img:file=img\\edit.png\"/>\r\n"
    L"    <UIButton id=\"btn_folder\" text=\"浏览\" "
    L"img=\"img:file=img\\btn_folder.png|type=3\"/>\r\n"
    L"    <UICheckBox id=\"ckdesktop\" checked=\"true\" text=\"创建桌面快捷方式\"/>\r\n"
    L"    <UILabel id=\"agree\"><text><p>我已阅读并同意</p><p color='#ff0000ff'>用户协议</p>"
    L"</text></UILabel>\r\n"
    L"    <UIButton id=\"btn_setup\" text=\"立即安装\" img=\"img:file=img\\btn_setup.png\"/>\r\n"
    L"  </UIPage>\r\n"
    L"  <UIPage id=\"page2\" visible=\"false\">\r\n"
    L"    <UIProgress id=\"progress\" value=\"0\" fgimg=\"img:file=img\\progf.png\" "
    L"bkimg=\"img:file=img\\progb.png\"/>\r\n"
    L"    <UILabel id=\"lbSetupInfo\" text=\"正在安装...\"/>\r\n"
    L"  </UIPage>\r\n"
    L"  <UIPage id=\"page3\" visible=\"false\"><![CDATA[ <not markup> ]]>\r\n"
    L"    <UIButton id=\"btn_finish\" text='完成' img=\"img:file=img\\btn_finish.png\"/>\r\n"
    L"  </UIPage>\r\n"
    L"</UIWnd>\r\n";

const wchar_t kMessageBox[] =
    L"<!DOCTYPE UIWnd [<!ENTITY x \"y>\"><!-- > -->]>"
    L"<UIWnd id=\"msgbox\" pos=\"0,0,360,190\" bkimg=\"img:file=img\\msgbox.png\">"
    L"<UILabel id=\"title\" text=\"提示\"/><UILabel id=\"msg\" text=\"这是提示内容 &#x4E2D;\"/>"
    L"<UIButton id=\"closebtn\"/><UIButton id=\"continebtn\" text=\"继续安装\"/>"
    L"<UIButton id=\"cancelbtn\" text=\"退出安装\"/></UIWnd>";

// A small deterministic generator, the same on every platform.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<uint32_t>(state_ >> 16);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }

  private:
    uint64_t state_;
};

std::wstring Mutate(std::wstring text, Random& rnd) {
    static const wchar_t* const kInserts[] = {
        L"<",   L"&",          L"\"",      L"'",         L">",           L"/",
        L"</",  L"<!",         L"<!-",     L"<![",       L"<!D",         L"<?",
        L"]]>", L"-->",        L"?>",      L"/>",        L"&amp",        L"&#x",
        L"=",   L"<a>",        L"</a>",    L"<![CDATA[", L"<!--",        L"\xD800",
        L"\0",  L"&#1114111;", L"<UIWnd>", L"</UIWnd>",  L"<!DOCTYPE [",
    };
    const size_t edits = 1 + rnd.Below(4);
    for (size_t e = 0; e < edits; ++e) {
        const size_t at = rnd.Below(text.size() + 1);
        switch (rnd.Below(5)) {
            case 0:  // truncate
                text.resize(at);
                break;
            case 1: {  // insert a piece of markup
                const size_t i = rnd.Below(sizeof(kInserts) / sizeof(kInserts[0]));
                const std::wstring piece = kInserts[i][0] ? kInserts[i] : std::wstring(1, 0);
                text.insert(at, piece);
                break;
            }
            case 2:  // delete a range
                text.erase(at, rnd.Below(40));
                break;
            case 3: {  // duplicate a range elsewhere
                const std::wstring piece = text.substr(at, rnd.Below(80));
                text.insert(rnd.Below(text.size() + 1), piece);
                break;
            }
            default:  // overwrite one character
                if (at < text.size()) text[at] = L"<>&;\"'/=?![]-"[rnd.Below(13)];
        }
    }
    return text;
}

// Walks every node of the document without recursion and checks that the
// nodes of each parent lie back to back inside it, that the document level
// covers the whole text, and that every element record is reached once.
void CheckInvariants(XmlDocument& doc, const std::wstring& text, bool wellFormed) {
    SCOPED_TRACE(::testing::Message() << "text length " << text.size());
    const std::wstring& log = doc.GetResultLog();
    if (!wellFormed) {
        EXPECT_FALSE(log.empty());
    }
    EXPECT_LT(log.size(), XmlDocument::kResultLogCap + 200 + text.size());

    struct Frame {
        size_t next;  // where the next node must start; kUnknown before the first
        size_t start, end;
    };
    constexpr size_t kUnknown = static_cast<size_t>(-1);
    std::vector<Frame> frames{{0, 0, text.size()}};
    size_t elements = 0;
    size_t steps = 0;
    const size_t budget = 4 * text.size() + 16;  // every node is at least one character
    for (;;) {
        ASSERT_LT(++steps, budget) << "the walk does not end";
        if (!doc.FindNode()) {
            if (frames.size() == 1) break;
            frames.pop_back();
            ASSERT_TRUE(doc.LeaveElement());
            continue;
        }
        Frame& f = frames.back();
        const size_t off = doc.GetNodeOffset();
        const size_t len = doc.GetNodeLength();
        if (f.next == kUnknown) {
            ASSERT_GT(off, f.start);  // after the parent's start tag
        } else {
            ASSERT_EQ(off, f.next);
        }
        ASSERT_GT(len, 0u);
        ASSERT_LE(off + len, f.end);
        f.next = off + len;
        // Reads never fail loudly.
        const std::wstring name = doc.GetTagName();
        doc.GetText();
        for (size_t i = 0; i < 64 && !doc.GetAttributeName(i).empty(); ++i) {
        }
        if (doc.GetNodeKind() == XmlDocument::kElement) {
            ++elements;
            ASSERT_FALSE(name.empty());
            ASSERT_EQ(text[off], L'<');
            ASSERT_TRUE(doc.EnterElement());
            frames.push_back({kUnknown, off, off + len});
        }
    }
    EXPECT_EQ(frames[0].next, text.empty() ? 0 : text.size());
    EXPECT_EQ(elements + 1, doc.GetRecordCount());

    // The log is itself a sequence of well-formed records.
    if (log.empty()) return;
    XmlDocument records;
    const bool oneRecord = records.SetText(log);
    EXPECT_TRUE(oneRecord || records.GetResultLog() == L"<root_has_sibling />")
        << records.GetResultLog();
}

void ParseAndCheck(const std::wstring& text) {
    XmlDocument doc;
    const bool wellFormed = doc.SetText(text);
    CheckInvariants(doc, text, wellFormed);
    // A second walk along elements only reaches the same number of them.
    XmlDocument again;
    again.SetText(text);
    size_t elements = 0, depth = 0, steps = 0;
    for (;;) {
        ASSERT_LT(++steps, 4 * text.size() + 16);
        if (again.FindElement()) {
            ++elements;
            again.EnterElement();
            ++depth;
        } else if (depth > 0) {
            again.LeaveElement();
            --depth;
        } else {
            break;
        }
    }
    EXPECT_EQ(elements + 1, again.GetRecordCount());
}

TEST(XmlRobustnessTest, RealLayoutsParse) {
    for (const wchar_t* layout : {kMainLayout, kMessageBox}) {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetText(layout)) << doc.GetResultLog();
        CheckInvariants(doc, layout, true);
    }
}

TEST(XmlRobustnessTest, MutatedLayouts) {
    Random rnd(0x5EED1234ABCDull);
    for (int i = 0; i < 1500; ++i) {
        const std::wstring text = Mutate(i % 2 ? kMainLayout : kMessageBox, rnd);
        SCOPED_TRACE(i);
        ParseAndCheck(text);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(XmlRobustnessTest, EveryTruncation) {
    const std::wstring layout = kMainLayout;
    for (size_t n = 0; n <= layout.size(); n += 7) {
        ParseAndCheck(layout.substr(0, n));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

std::wstring Repeat(const wchar_t* piece, size_t times) {
    std::wstring out;
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(XmlRobustnessTest, DeepAndHostileNesting) {
    const size_t deep = 5000;
    const std::wstring cases[] = {
        Repeat(L"<a>", deep) + Repeat(L"</a>", deep),   // well-formed, deep
        Repeat(L"<a>", deep),                           // never closed
        L"<r>" + Repeat(L"<a><b>", deep) + L"</r>",     // closed all at once
        Repeat(L"<a>x", deep) + Repeat(L"</b>", deep),  // lone end tags, deep stack
        Repeat(L"<a><b>", deep) + Repeat(L"</a>", deep),
        Repeat(L"<!--", deep) + Repeat(L"<![CDATA[", deep),
        Repeat(L"<a b=\"", deep),
        Repeat(L"&#x;&amp", deep) + Repeat(L"<", deep),
        L"<a " + Repeat(L"x='>' ", deep) + L">",
        L"<!DOCTYPE a [" + Repeat(L"<!ELEMENT a (b)>", deep) + L"]><a/>",
        L"<" + std::wstring(5000000, L'n') + L"/>",       // longer than a packed start tag
        L"<a></a" + std::wstring(3000, L' ') + L"><b/>",  // longer than a packed end tag
    };
    for (const std::wstring& text : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        ParseAndCheck(text);
        if (::testing::Test::HasFatalFailure()) return;
    }

    XmlDocument doc;
    EXPECT_TRUE(doc.SetText(cases[0]));
    ASSERT_TRUE(doc.FindElement(L"//a[5000]"));
    EXPECT_EQ(doc.GetNodeOffset(), 3 * (deep - 1));
    EXPECT_EQ(doc.GetNodeLength(), 7u);
}

TEST(XmlRobustnessTest, LongTagsKeepExactBounds) {
    XmlDocument doc;
    const std::wstring value(5000000, L'v');
    const std::wstring text = L"<a k='" + value + L"'>t</a" + std::wstring(2000, L' ') + L">";
    ASSERT_TRUE(doc.SetText(text));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetText(), L"t");
    EXPECT_EQ(doc.GetAttributeValue(L"k").size(), value.size());
    EXPECT_EQ(doc.GetNodeLength(), text.size());
}

TEST(XmlRobustnessTest, StoreGrowsAcrossSegments) {
    // More than one segment of records, from a text that sizes the store
    // far too small at first.
    const size_t count = 70000;
    const std::wstring text = L"<r>" + Repeat(L"<i/>", count) + L"</r>";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(text));
    EXPECT_EQ(doc.GetRecordCount(), count + 2);
    ASSERT_TRUE(doc.FindElement(L"/r/i[70000]"));
    EXPECT_EQ(doc.GetNodeOffset(), 3 + 4 * (count - 1));
    EXPECT_FALSE(doc.FindElement());
}

}  // namespace
