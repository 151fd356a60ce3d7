// Parsing, the cursor and reading of attributes and text.
#include <gtest/gtest.h>

#include <string>

#include "xml/XmlDocument.h"

namespace {

// The whole element tree as "a(b,c(d))".
std::wstring Tree(XmlDocument& doc) {
    std::wstring out;
    bool first = true;
    while (doc.FindElement()) {
        if (!first) out += L',';
        first = false;
        out += doc.GetTagName();
        doc.EnterElement();
        const std::wstring inner = Tree(doc);
        doc.LeaveElement();
        if (!inner.empty()) out += L"(" + inner + L")";
    }
    return out;
}

std::wstring TreeOf(const wchar_t* text) {
    XmlDocument doc;
    doc.SetText(text);
    return Tree(doc);
}

TEST(XmlDocumentTest, WalksALayout) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(
        L"<?xml version=\"1.0\"?>\n<!-- main window -->\n"
        L"<UIWnd id=\"mainwnd\" pos=\"0,0,600,400\">\n"
        L"  <UIButton id=\"btn_close\" text=\"Close\"/>\n"
        L"  <UIPage id=\"page1\">\n    <UILabel id=\"title\">Install</UILabel>\n  </UIPage>\n"
        L"</UIWnd>\n"));
    EXPECT_EQ(doc.GetResultLog(), L"");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"UIWnd");
    EXPECT_EQ(doc.GetAttributeValue(L"id"), L"mainwnd");
    EXPECT_FALSE(doc.FindElement());  // only one top-level element
    EXPECT_EQ(doc.GetTagName(), L"UIWnd");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"UIButton");
    EXPECT_EQ(doc.GetAttributeValue(L"text"), L"Close");
    EXPECT_FALSE(doc.EnterElement() && doc.FindElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"UIButton");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"UIPage");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"UILabel"));
    EXPECT_EQ(doc.GetText(), L"Install");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"UIWnd");
    EXPECT_FALSE(doc.LeaveElement());  // document level
}

TEST(XmlDocumentTest, EmptyDocumentHasNothingToWalk) {
    XmlDocument doc;
    EXPECT_FALSE(doc.FindElement());
    EXPECT_FALSE(doc.FindNode());
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"");
    EXPECT_EQ(doc.GetText(), L"");
    EXPECT_EQ(doc.GetAttributeName(0), L"");
    EXPECT_EQ(doc.GetAttributeValue(L"a"), L"");
    EXPECT_TRUE(doc.SetText(L"<a/>"));
    EXPECT_FALSE(doc.SetText(nullptr));
    EXPECT_EQ(doc.GetDocumentText(), L"");
    EXPECT_FALSE(doc.FindElement());
    EXPECT_EQ(doc.GetRecordCount(), 0u);
}

TEST(XmlDocumentTest, WellFormedResultAndLog) {
    const struct {
        const wchar_t* text;
        bool wellFormed;
        const wchar_t* log;
    } cases[] = {
        {L"<a/>", true, L""},
        {L"<a></a>", true, L""},
        {L" <a> x </a> ", true, L""},
        {L"<a><b></a>", false, L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\" />"},
        {L"<a/><b/>", false, L"<root_has_sibling />"},
        // Syntax errors are recorded, but only the element structure decides
        // whether a document is used: a stray "<" in a text keeps its layout.
        {L"", false, L"<no_root_element />"},
        {L"just text", false, L"<no_root_element />"},
        {L"<!-- c --><?pi?>", false, L"<no_root_element />"},
        {L"<a></b></a>", false, L"<lone_end_tag tagname=\"b\" offset=\"3\" />"},
        {L"<a>", false, L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"3\" />"},
        {L"<a>1 < 2</a>", true, L"<first_tag_syntax offset=\"5\" />"},
        {L"<a><!x></a>", true, L"<exclamation_tag_syntax offset=\"3\" />"},
        {L"<a><!-x></a>", true, L"<comment_tag_syntax offset=\"3\" />"},
        {L"<a><![x></a>", true, L"<cdata_section_syntax offset=\"3\" />"},
        {L"<!DOCTYPE a [<!X>]><a/>", true, L"<doctype_tag_syntax offset=\"13\" />"},
        {L"<!DOCTYPE a [<!ENTITY e \"x>y\"><!-- c --><?p?>]><a/>", true, L""},
        {L"<a/><", true, L"<unterminated_tag_syntax type=\"tag\" offset=\"4\" />"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        EXPECT_EQ(doc.SetText(c.text), c.wellFormed) << c.text;
        if (c.wellFormed) {
            EXPECT_EQ(doc.GetResultLog(), c.log) << c.text;
        } else {
            // The first record names the fault (later ones may follow).
            EXPECT_EQ(doc.GetResultLog().substr(0, std::wstring(c.log).size()), c.log) << c.text;
        }
    }
}

TEST(XmlDocumentTest, UnterminatedMarkupNamesItsType) {
    const struct {
        const wchar_t* text;
        const wchar_t* type;
        size_t offset;
    } cases[] = {
        {L"<a/><b x='1'", L"start_tag", 4},
        {L"<a/><b x='1>", L"start_tag", 4},
        {L"<a/></a", L"end_tag", 4},
        {L"<a/><![CDATA[ x", L"cdata_section", 4},
        {L"<a/><![", L"cdata_section", 4},
        {L"<a/><?pi x", L"processing_instruction", 4},
        {L"<a/><!-- x --", L"comment", 4},
        {L"<a/><!-", L"comment", 4},
        {L"<a/><!DOCTYPE a [", L"document_type", 4},
        {L"<a/><!", L"tag", 4},
        {L"<a/><", L"tag", 4},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetText(c.text)) << c.text;  // the root element is whole
        const std::wstring expected = L"<unterminated_tag_syntax type=\"" + std::wstring(c.type) +
                                      L"\" offset=\"" + std::to_wstring(c.offset) + L"\" />";
        EXPECT_EQ(doc.GetResultLog(), expected) << c.text;
    }
}

TEST(XmlDocumentTest, UnendedElementsGiveUpTheirChildren) {
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(L"<a><b><c/>x<d></d></a>"));
    // b's children become its following siblings inside a.
    EXPECT_EQ(Tree(doc), L"a(b,c,d)");
    EXPECT_EQ(doc.GetResultLog(),
              L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"18\" />");

    // Several unended levels at once, and at the end of the text.
    EXPECT_EQ(TreeOf(L"<r><a><b><c>t</r>"), L"r(a,b,c)");
    EXPECT_EQ(TreeOf(L"<a><b><c/>"), L"a,b,c");
    XmlDocument open;
    EXPECT_FALSE(open.SetText(L"<a><b><c/>"));
    EXPECT_EQ(open.GetResultLog(),
              L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"10\" />"
              L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"10\" />"
              L"<root_has_sibling />");

    // The nearest open element of that name closes.
    EXPECT_EQ(TreeOf(L"<a><a><b></a></a>"), L"a(a(b))");
    EXPECT_EQ(TreeOf(L"<a><b><a><c></b></a>"), L"a(b(a,c))");
    // An end tag that matches nothing is ignored.
    EXPECT_EQ(TreeOf(L"<a><b></x></b></a>"), L"a(b)");
}

TEST(XmlDocumentTest, UnendedElementHasNoText) {
    XmlDocument doc;
    doc.SetText(L"<a><b>text</a>");
    ASSERT_TRUE(doc.FindElement(L"a"));
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_EQ(doc.GetText(), L"");
    doc.LeaveElement();
    // "text" now belongs to a, whose only child b is an element.
    EXPECT_EQ(doc.GetText(), L"");
}

TEST(XmlDocumentTest, AttributeForms) {
    const wchar_t* forms[] = {
        L"<a v=\"x/y\"/>",    L"<a v='x/y'/>",         L"<a v=x/y/>",    L"<a v=x/y />",
        L"<a v = \"x/y\" />", L"<a\tv\n=\r'x/y'></a>", L"<a w=1 v=x/y>", L"<a v=\"x/y\" v='no'/>",
    };
    for (const wchar_t* text : forms) {
        XmlDocument doc;
        doc.SetText(text);
        ASSERT_TRUE(doc.FindElement()) << text;
        EXPECT_EQ(doc.GetAttributeValue(L"v"), L"x/y") << text;
        EXPECT_EQ(doc.GetAttributeValue(L"missing"), L"") << text;
    }
}

TEST(XmlDocumentTest, QuotedGreaterThanDoesNotEndTheTag) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<a t=\"1>2\" u='<b>' v=x>text</a>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttributeValue(L"t"), L"1>2");
    EXPECT_EQ(doc.GetAttributeValue(L"u"), L"<b>");
    EXPECT_EQ(doc.GetAttributeValue(L"v"), L"x");
    EXPECT_EQ(doc.GetText(), L"text");
    EXPECT_FALSE(doc.EnterElement() && doc.FindElement());
}

TEST(XmlDocumentTest, AttributeEnumerationEndsWithEmptyText) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<UIButton id=\"ok\" pos='1,2,3,4' visible=true checked/>"));
    ASSERT_TRUE(doc.FindElement());
    const wchar_t* expected[] = {L"id", L"pos", L"visible", L"checked"};
    size_t i = 0;
    for (std::wstring name; !(name = doc.GetAttributeName(i)).empty(); ++i) {
        ASSERT_LT(i, 4u);
        EXPECT_EQ(name, expected[i]);
    }
    EXPECT_EQ(i, 4u);
    EXPECT_EQ(doc.GetAttributeName(100), L"");
    EXPECT_EQ(doc.GetAttributeValue(L"checked"), L"");

    XmlDocument bare;
    bare.SetText(L"<a/>");
    bare.FindElement();
    EXPECT_EQ(bare.GetAttributeName(0), L"");
}

TEST(XmlDocumentTest, DecodesReferences) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<a txt=\"a &amp; b &#x4E2D; &#20013; &bogus; & c\"/>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttributeValue(L"txt"), L"a & b \u4E2D \u4E2D &bogus; & c");

    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"&lt;&gt;&quot;&apos;&amp;", L"<>\"'&"},
        {L"&nbsp;&copy;&euro;", L"\u00A0\u00A9\u20AC"},
        {L"&Oslash;&oslash;", L"\u00D8\u00F8"},
        {L"&OSLASH;", L"&OSLASH;"},
        {L"&thetasym;&zwnj;&hearts;", L"\u03D1\u200C\u2665"},
        {L"&#X41;&#x61;&#65;", L"AaA"},
        {L"&#x1F600;", L"\U0001F600"},
        {L"&#128512;", L"\U0001F600"},
        {L"&#0;&#;&#x;&#x0;", L"&#0;&#;&#x;&#x0;"},
        {L"&#xD800;&#x110000;&#12a;", L"&#xD800;&#x110000;&#12a;"},
        {L"&amp", L"&amp"},                  // no ';'
        {L"&abcdefghij;", L"&abcdefghij;"},  // ten characters: too long
        {L"&a&amp;", L"&a&"},                // the candidate stops being one at '&'
        {L"&\u00E9;&amp;", L"&\u00E9;&"},    // non-ASCII
        {L"&;", L"&;"},
        {L"&", L"&"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XmlDocument::DecodeReferences(c.in), c.out) << c.in;
    }
}

TEST(XmlDocumentTest, TextOfElementsAndNodes) {
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"<a>x &amp; y</a>", L"x & y"},
        {L"<a></a>", L""},
        {L"<a/>", L""},
        {L"<a>  </a>", L"  "},
        {L"<a>1<!-- no -->2<?pi no?>3<![CDATA[<&amp;>]]>4</a>", L"123<&amp;>4"},
        {L"<a>x<b/>y</a>", L""},  // has a child element
        {L"<a>x</zz>y</a>", L"xy"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        doc.SetText(c.text);
        ASSERT_TRUE(doc.FindElement()) << c.text;
        EXPECT_EQ(doc.GetText(), c.expected) << c.text;
    }
}

TEST(XmlDocumentTest, FindElementSkipsTextAndOtherNames) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(
        L"<text>lead <b>bold</b> <p>one</p><!-- c --> mid <pre>no</pre><p>two</p>tail</text>"));
    ASSERT_TRUE(doc.FindElement(L"text"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"p"));
    EXPECT_EQ(doc.GetText(), L"one");
    ASSERT_TRUE(doc.FindElement(L"p"));
    EXPECT_EQ(doc.GetText(), L"two");
    EXPECT_FALSE(doc.FindElement(L"p"));
    EXPECT_EQ(doc.GetText(), L"two");  // unchanged
    EXPECT_FALSE(doc.FindElement(L"pr"));
}

TEST(XmlDocumentTest, NamesCompareExactlyButIgnoreConditions) {
    XmlDocument doc;
    doc.SetText(L"<r><ab/><a/><A/></r>");
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetTagName(), L"a");
    ASSERT_TRUE(doc.FindElement(L"A"));
    EXPECT_EQ(doc.GetTagName(), L"A");
    doc.LeaveElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"a "));
    EXPECT_EQ(doc.GetTagName(), L"a");
}

TEST(XmlDocumentTest, NodesBetweenElements) {
    XmlDocument doc;
    // Not well-formed (the lone end tag), but fully walkable.
    EXPECT_FALSE(
        doc.SetText(L"<!DOCTYPE layout><?xml-stylesheet href='s'?><r>t &lt;<!--c--><![CDATA[d]]>"
                    L"<e/> </x></r>"));
    const struct {
        XmlDocument::NodeKind kind;
        const wchar_t* name;
        const wchar_t* text;
    } top[] = {
        {XmlDocument::kDocumentType, L"layout", L""},
        {XmlDocument::kProcessingInstruction, L"xml-stylesheet", L"xml-stylesheet href='s'"},
        {XmlDocument::kElement, L"r", L""},
    };
    for (const auto& n : top) {
        ASSERT_TRUE(doc.FindNode()) << n.name;
        EXPECT_EQ(doc.GetNodeKind(), n.kind) << n.name;
        EXPECT_EQ(doc.GetTagName(), n.name);
        if (n.kind != XmlDocument::kElement) {
            EXPECT_EQ(doc.GetText(), n.text);
        }
    }
    EXPECT_FALSE(doc.FindNode());
    ASSERT_TRUE(doc.EnterElement());
    const struct {
        XmlDocument::NodeKind kind;
        const wchar_t* name;
        const wchar_t* text;
    } inner[] = {
        {XmlDocument::kText, L"#text", L"t <"},         {XmlDocument::kComment, L"#comment", L"c"},
        {XmlDocument::kCData, L"#cdata-section", L"d"}, {XmlDocument::kElement, L"e", L""},
        {XmlDocument::kWhitespace, L"#text", L" "},     {XmlDocument::kLoneEndTag, L"x", L""},
    };
    for (const auto& n : inner) {
        ASSERT_TRUE(doc.FindNode()) << n.name;
        EXPECT_EQ(doc.GetNodeKind(), n.kind) << n.name;
        EXPECT_EQ(doc.GetTagName(), n.name);
        EXPECT_EQ(doc.GetText(), n.text) << n.name;
    }
    EXPECT_FALSE(doc.FindNode());

    // From a text node, FindElement goes on to the next element.
    doc.LeaveElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindNode());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"e");

    // Pseudo-attributes of a processing instruction.
    doc.LeaveElement();
    doc.LeaveElement();
    XmlDocument pi;
    pi.SetText(L"<?xml version=\"1.0\" encoding='utf-8'?><a/>");
    ASSERT_TRUE(pi.FindNode());
    EXPECT_EQ(pi.GetTagName(), L"xml");
    EXPECT_EQ(pi.GetAttributeName(0), L"version");
    EXPECT_EQ(pi.GetAttributeName(1), L"encoding");
    EXPECT_EQ(pi.GetAttributeName(2), L"");
    EXPECT_EQ(pi.GetAttributeValue(L"encoding"), L"utf-8");
}

TEST(XmlDocumentTest, PathSearches) {
    const wchar_t* layout =
        L"<UIWnd>"
        L"<UIPage id='p1'><UIButton id='b1'/><UIButton id='b2' k=''/><UILabel id='l1'/></UIPage>"
        L"<UIPage id='p2'><UIBox><UIButton id='b3' k='v &amp; w'/></UIBox></UIPage>"
        L"</UIWnd>";
    const struct {
        const wchar_t* path;
        const wchar_t* id;  // of the match, null when nothing is found
    } cases[] = {
        {L"/UIWnd/UIPage", L"p1"},
        {L"/UIWnd/UIPage[2]", L"p2"},
        {L"/UIWnd/UIPage[3]", nullptr},
        {L"/UIWnd/UIPage/UIButton", L"b1"},
        {L"/UIWnd/UIPage/UIButton[2]", L"b2"},
        {L"/UIWnd/UIPage/UILabel", L"l1"},
        {L"/UIWnd/UIPage/UIBox/UIButton", L"b3"},  // backtracks into the second page
        {L"/UIWnd/UIPage[@id='p2']", L"p2"},
        {L"/UIWnd/UIPage[@id=\"p2\"]", L"p2"},
        {L"/UIWnd/UIPage[@id='p3']", nullptr},
        {L"/UIPage", nullptr},  // not at the top level
        {L"//UIButton", L"b1"},
        {L"//UIButton[3]", L"b3"},
        {L"//UIButton[@k]", L"b2"},
        {L"//UIButton[@k][2]", L"b3"},
        {L"//UIButton[@k='v & w']", L"b3"},
        {L"//UIBox/UIButton", L"b3"},
        {L"//UIButton[@id='b2']", L"b2"},
        {L"UIWnd/UIPage/UILabel", L"l1"},  // relative: from the cursor
        {L"UIWnd", nullptr},               // a plain step needs no '/'... but [ or /
        {L"", L"UIWnd"},                   // any element
        {L"//", nullptr},
        {L"/", nullptr},
        {L"/UIWnd//UIButton", nullptr},
        {L"/UIWnd/", nullptr},
        {L"//UIButton[0]", nullptr},
        {L"//UIButton[x]", nullptr},
        {L"//UIButton[@k='v]", nullptr},
        {L"//UIButton[@]", nullptr},
        {L"//UIButton[1", nullptr},
        {L"//UIButton[99999999999]", nullptr},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        ASSERT_TRUE(doc.SetText(layout));
        const std::wstring path = c.path;
        if (path == L"UIWnd") {
            // A plain name is found like any name.
            ASSERT_TRUE(doc.FindElement(path));
            continue;
        }
        const bool found = doc.FindElement(path);
        EXPECT_EQ(found, c.id != nullptr) << c.path;
        if (!found || !c.id) continue;
        const std::wstring id = doc.GetAttributeValue(L"id");
        EXPECT_EQ(id.empty() ? doc.GetTagName() : id, c.id) << c.path;
    }
}

TEST(XmlDocumentTest, PathMatchLeavesCursorInsideItsParent) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<r><s><a id='1'/><a id='2'/></s></r>"));
    ASSERT_TRUE(doc.FindElement(L"//a"));
    EXPECT_EQ(doc.GetAttributeValue(L"id"), L"1");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttributeValue(L"id"), L"2");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"s");
    // A failed search leaves the cursor where it was.
    EXPECT_FALSE(doc.FindElement(L"//zz"));
    EXPECT_EQ(doc.GetTagName(), L"s");
}

TEST(XmlDocumentTest, SetTextReplacesTheDocument) {
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(L"<a><b>"));
    EXPECT_FALSE(doc.GetResultLog().empty());
    ASSERT_TRUE(doc.SetText(L"<c><d/></c>"));
    EXPECT_EQ(doc.GetResultLog(), L"");
    EXPECT_EQ(Tree(doc), L"c(d)");
    EXPECT_EQ(doc.GetRecordCount(), 3u);
}

}  // namespace
