// Writing elements and attributes, escaping, the result log's cap and the
// named reference table.
#include <gtest/gtest.h>

#include <string>

#include "xml/XmlDocument.h"
#include "xml/XmlNamedReferences.h"

namespace {

TEST(XmlWritingTest, WritesRecordsLikeTheResultLog) {
    XmlDocument doc;
    ASSERT_TRUE(doc.AddElement(L"lone_end_tag"));
    ASSERT_TRUE(doc.SetElementAttribute(L"tagname", L"x<\"'&>"));
    ASSERT_TRUE(doc.SetElementAttribute(L"offset", 12));
    ASSERT_TRUE(doc.AddElement(L"no_root_element"));
    EXPECT_EQ(doc.GetDocumentText(),
              L"<lone_end_tag tagname=\"x&lt;&quot;&apos;&amp;&gt;\" offset=\"12\" />"
              L"<no_root_element />");
    EXPECT_EQ(doc.GetTagName(), L"no_root_element");

    // The same form the parse writes, read back through the reader.
    XmlDocument parsed;
    parsed.SetText(L"<a></x<\"'&>></a>");
    XmlDocument log;
    log.SetText(parsed.GetResultLog());
    ASSERT_TRUE(log.FindElement(L"lone_end_tag"));
    EXPECT_EQ(log.GetAttributeValue(L"tagname"), L"x");
    EXPECT_EQ(log.GetAttributeValue(L"offset"), L"3");
}

TEST(XmlWritingTest, AddsElementsAtTheCursor) {
    const struct {
        const wchar_t* text;
        const wchar_t* path;  // where the cursor goes first; null: stay before the root
        bool enter;
        const wchar_t* expected;
    } cases[] = {
        {L"<r><a/></r>", L"r", true, L"<r><z>t &lt;&amp;&gt; \"'</z><a/></r>"},
        {L"<r><a/></r>", L"//a", false, L"<r><a/><z>t &lt;&amp;&gt; \"'</z></r>"},
        {L"<r/>", L"r", true, L"<r><z>t &lt;&amp;&gt; \"'</z></r>"},
        {L"<r  />", L"r", true, L"<r><z>t &lt;&amp;&gt; \"'</z></r>"},
        {L"<r>x</r>", nullptr, false, L"<z>t &lt;&amp;&gt; \"'</z><r>x</r>"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        doc.SetText(c.text);
        if (c.path) {
            ASSERT_TRUE(doc.FindElement(c.path)) << c.text;
        }
        if (c.enter) {
            ASSERT_TRUE(doc.EnterElement()) << c.text;
        }
        ASSERT_TRUE(doc.AddElement(L"z", L"t <&> \"'")) << c.text;
        EXPECT_EQ(doc.GetDocumentText(), c.expected) << c.text;
        EXPECT_EQ(doc.GetTagName(), L"z");
        EXPECT_EQ(doc.GetText(), L"t <&> \"'");
    }

    // After a text node, and the cursor's parent stays.
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(L"<r>x<a/></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindNode());
    ASSERT_TRUE(doc.AddElement(L"z"));
    EXPECT_EQ(doc.GetDocumentText(), L"<r>x<z /><a/></r>");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"a");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"r");
}

TEST(XmlWritingTest, SetsAndReplacesAttributes) {
    XmlDocument doc;
    doc.SetText(L"<a b='1' c=2 d e = \"\"/>");
    ASSERT_TRUE(doc.FindElement());
    const struct {
        const wchar_t* name;
        const wchar_t* value;
        const wchar_t* expected;
    } steps[] = {
        {L"b", L"x", L"<a b=\"x\" c=2 d e = \"\"/>"},
        {L"c", L"'", L"<a b=\"x\" c=\"&apos;\" d e = \"\"/>"},
        {L"d", L"", L"<a b=\"x\" c=\"&apos;\" d=\"\" e = \"\"/>"},
        {L"e", L"y", L"<a b=\"x\" c=\"&apos;\" d=\"\" e=\"y\"/>"},
        {L"f", L"<", L"<a b=\"x\" c=\"&apos;\" d=\"\" e=\"y\" f=\"&lt;\"/>"},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(doc.SetElementAttribute(s.name, s.value)) << s.name;
        EXPECT_EQ(doc.GetDocumentText(), s.expected);
        EXPECT_EQ(doc.GetAttributeValue(s.name), s.value);
    }
    ASSERT_TRUE(doc.SetElementAttribute(L"n", -42));
    EXPECT_EQ(doc.GetAttributeValue(L"n"), L"-42");
    ASSERT_TRUE(doc.SetElementAttribute(L"z", 0));
    EXPECT_EQ(doc.GetAttributeValue(L"z"), L"0");

    XmlDocument open;
    open.SetText(L"<a>text</a>");
    open.FindElement();
    ASSERT_TRUE(open.SetElementAttribute(L"k", L"v"));
    EXPECT_EQ(open.GetDocumentText(), L"<a k=\"v\">text</a>");
    EXPECT_EQ(open.GetText(), L"text");
}

TEST(XmlWritingTest, RefusesWhatCannotBeWritten) {
    XmlDocument doc;
    doc.SetText(L"<r><u>x</r>");
    EXPECT_FALSE(doc.SetElementAttribute(L"a", L"v"));  // no current element
    const wchar_t* badNames[] = {L"", L"a b", L"a/b", L"a>", L"1a", L"a=b", L"a\"", L"a&b"};
    for (const wchar_t* name : badNames) {
        EXPECT_FALSE(doc.AddElement(name)) << name;
    }
    ASSERT_TRUE(doc.FindElement());
    for (const wchar_t* name : badNames) {
        if (name[0] == L'1') continue;  // fine as an attribute name
        EXPECT_FALSE(doc.SetElementAttribute(name, L"v")) << name;
    }
    // An unended element's content belongs to its parent.
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"u"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.AddElement(L"z"));
    EXPECT_EQ(doc.GetDocumentText(), L"<r><u>x</r>");
}

TEST(XmlWritingTest, WritesCDataSections) {
    XmlDocument doc;
    ASSERT_TRUE(doc.AddElement(L"c", L"a]]>b<&", true));
    EXPECT_EQ(doc.GetDocumentText(), L"<c><![CDATA[a]]]]><![CDATA[>b<&]]></c>");
    EXPECT_EQ(doc.GetText(), L"a]]>b<&");
}

TEST(XmlWritingTest, Escaping) {
    EXPECT_EQ(XmlDocument::EscapeText(L"<a & 'b' \"c\">"), L"&lt;a &amp; 'b' \"c\"&gt;");
    EXPECT_EQ(XmlDocument::EscapeAttribute(L"<a & 'b' \"c\">"),
              L"&lt;a &amp; &apos;b&apos; &quot;c&quot;&gt;");
    EXPECT_EQ(XmlDocument::EscapeCData(L""), L"<![CDATA[]]>");
    EXPECT_EQ(XmlDocument::EscapeCData(L"]]>]]>"), L"<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
}

TEST(XmlWritingTest, ResultLogStopsAtItsCap) {
    std::wstring text = L"<a>";
    for (int i = 0; i < 200; ++i) text += L"</zz>";
    text += L"</a>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    const std::wstring& log = doc.GetResultLog();
    const std::wstring record = L"<lone_end_tag tagname=\"zz\" offset=\"1000\" />";
    EXPECT_GE(log.size(), XmlDocument::kResultLogCap);
    EXPECT_LT(log.size(), XmlDocument::kResultLogCap + record.size());
    // Whole records only: the log reads back as records.
    XmlDocument records;
    records.SetText(log);
    size_t count = 0;
    while (records.FindElement(L"lone_end_tag")) {
        EXPECT_EQ(records.GetAttributeValue(L"offset"), std::to_wstring(3 + 5 * count));
        ++count;
    }
    EXPECT_GT(count, 10u);
    EXPECT_LT(count, 200u);
    EXPECT_EQ(records.GetResultLog(), L"<root_has_sibling />");
    // The document itself is complete.
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetNodeLength(), text.size());
}

TEST(XmlWritingTest, NamedReferenceTable) {
    EXPECT_EQ(NamedReferenceCount(), 253u);
    const struct {
        const wchar_t* name;
        unsigned codePoint;
    } cases[] = {
        {L"amp", 38},      {L"lt", 60},       {L"gt", 62},        {L"quot", 34},
        {L"apos", 39},     {L"nbsp", 160},    {L"iexcl", 161},    {L"copy", 169},
        {L"shy", 173},     {L"frac34", 190},  {L"Agrave", 192},   {L"AElig", 198},
        {L"ETH", 208},     {L"Oslash", 216},  {L"THORN", 222},    {L"szlig", 223},
        {L"oslash", 248},  {L"yuml", 255},    {L"fnof", 402},     {L"Alpha", 913},
        {L"Omega", 937},   {L"alpha", 945},   {L"sigmaf", 962},   {L"thetasym", 977},
        {L"upsih", 978},   {L"piv", 982},     {L"bull", 8226},    {L"hellip", 8230},
        {L"oline", 8254},  {L"frasl", 8260},  {L"weierp", 8472},  {L"image", 8465},
        {L"real", 8476},   {L"trade", 8482},  {L"alefsym", 8501}, {L"larr", 8592},
        {L"crarr", 8629},  {L"lArr", 8656},   {L"hArr", 8660},    {L"forall", 8704},
        {L"nabla", 8711},  {L"lowast", 8727}, {L"radic", 8730},   {L"infin", 8734},
        {L"there4", 8756}, {L"sim", 8764},    {L"cong", 8773},    {L"asymp", 8776},
        {L"sdot", 8901},   {L"lceil", 8968},  {L"lang", 9001},    {L"rang", 9002},
        {L"loz", 9674},    {L"spades", 9824}, {L"diams", 9830},   {L"OElig", 338},
        {L"Scaron", 352},  {L"Yuml", 376},    {L"circ", 710},     {L"tilde", 732},
        {L"ensp", 8194},   {L"thinsp", 8201}, {L"zwj", 8205},     {L"rlm", 8207},
        {L"ndash", 8211},  {L"sbquo", 8218},  {L"bdquo", 8222},   {L"Dagger", 8225},
        {L"permil", 8240}, {L"lsaquo", 8249}, {L"rsaquo", 8250},  {L"euro", 8364},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupNamedReference(c.name), c.codePoint) << c.name;
        const std::wstring reference = L"&" + std::wstring(c.name) + L";";
        EXPECT_EQ(XmlDocument::DecodeReferences(reference), std::wstring(1, wchar_t(c.codePoint)))
            << c.name;
    }
    const wchar_t* unknown[] = {L"", L"AMP", L"Amp", L"ampx", L"am", L"apos ", L"nbsp\u00E9"};
    for (const wchar_t* name : unknown) {
        EXPECT_EQ(LookupNamedReference(name), 0u) << name;
    }
}

}  // namespace
