// Layout documents: building control trees from skin documents, the order
// of creation, includes, unknown tags and unreadable documents.
#include <gtest/gtest.h>

#include "TestSkin.h"
#include "UiTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/UIDocBuilder.h"

namespace {

using Ref = UIRefPtr<UIControl>;

std::vector<std::string> g_steps;
FakeHost* g_host = nullptr;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// Logs its attributes and creation; checks it is attached and bound first.
class Recorder : public UIControl {
  public:
    void SetAttribute(const std::wstring& name, const std::wstring& value) override {
        UIControl::SetAttribute(name, value);
        g_steps.push_back("attr " + Narrow(GetId()) + " " + Narrow(name) +
                          (GetParent() ? "" : " (unattached)") +
                          (GetHost() == g_host ? "" : " (no host)"));
    }
    int OnCreate(LPARAM) override {
        g_steps.push_back("create " + Narrow(GetId()) +
                          " children=" + std::to_string(Children().size()));
        return 0;
    }
};

UIControl* CreateRecorder() { return new Recorder(); }

class LayoutDocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterControlFactory();
        g_steps.clear();
        g_host = &host;
        builder.AddLocalTag(L"Rec", CreateRecorder);
        top = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,800,600"}}));
        top->SetHost(&host);
    }
    void TearDown() override { g_host = nullptr; }

    UIControl* Load(const wchar_t* name) { return LoadLayout(builder, top.get(), name); }

    FakeHost host;
    UIDocBuilder builder{&host};
    Ref top;
};

std::vector<uint8_t> Doc(const char* text) { return Bytes(text); }

TEST_F(LayoutDocumentTest, OrderOfCreation) {
    TestSkin skin({{u"xml\\main.xml", Doc(R"(<?xml version="1.0" encoding="utf-8"?>
<UIWnd width="650" height="450">
  <!-- a comment -->
  <Rec id="a" pos="1,2,3,4">
    <Rec id="a1"/>
    <Rec id="a2"></Rec>
  </Rec>
  <uibutton id="wrongcase"><Rec id="lost1"/></uibutton>
  <Unknown><Rec id="lost2"/></Unknown>
  <Rec id="b" visible="false" txt="x"/>
</UIWnd>)")}});
    UIControl* root = Load(L"xml\\main.xml");
    ASSERT_NE(root, nullptr);
    std::vector<std::string> expected = {
        "attr a id",      "attr a pos",           "attr a1 id",          "create a1 children=0",
        "attr a2 id",     "create a2 children=0", "create a children=2", "attr b id",
        "attr b visible", "attr b txt",           "create b children=0",
    };
    EXPECT_EQ(g_steps, expected);
    EXPECT_EQ(root->GetParent(), top.get());
    EXPECT_EQ(root->Children().size(), 2u);  // unknown tags skipped with their subtrees
    EXPECT_EQ(root->FindById(L"lost1"), nullptr);
    EXPECT_EQ(root->FindById(L"lost2"), nullptr);
    EXPECT_EQ(root->FindById(L"b")->GetText(), L"x");
    EXPECT_EQ(root->FindById(L"a2")->GetHost(), &host);
    EXPECT_EQ(PosText(root), "0,0,650,450");
}

TEST_F(LayoutDocumentTest, AttributesSeeTheParentsSize) {
    TestSkin skin({{u"xml\\main.xml", Doc(R"(<UIWnd width="200" height="100">
  <UIControl id="c" width="parent" height="20"><UIControl id="d" pos="parent"/></UIControl>
</UIWnd>)")}});
    UIControl* root = Load(L"xml\\main.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(PosText(root->FindById(L"c")), "0,0,200,20");
    EXPECT_EQ(PosText(root->FindById(L"d")), "0,0,200,20");
}

TEST_F(LayoutDocumentTest, MainWindowPages) {
    TestSkin skin(
        {{u"xml\\main.xml", Doc(R"(<UIWnd width="650" height="450" layout="vert" hit="false">
  <UIControl id="page1" adj="1" layout="vert"><UIControl id="bar" height="40"/><UIControl id="body" adj="1"/></UIControl>
  <UIControl id="page2" adj="1" visible="false"/>
  <UIControl id="page3" adj="1" visible="false"/>
  <UIControl id="title" float="1" pos="0,0,650,30"/>
</UIWnd>)")}});
    UIControl* root = Load(L"xml\\main.xml");
    ASSERT_NE(root, nullptr);
    const struct {
        const wchar_t* id;
        const char* pos;
    } cases[] = {
        {L"page1", "0,0,650,450"}, {L"bar", "0,0,650,40"}, {L"body", "0,40,650,410"},
        {L"page2", "0,0,0,0"},     {L"page3", "0,0,0,0"},  {L"title", "0,0,650,30"},
    };
    for (const auto& c : cases) EXPECT_EQ(PosText(root->FindById(c.id)), c.pos) << Narrow(c.id);
    EXPECT_FALSE(root->HasStyleA(UIControl::kStyleHit));
}

TEST_F(LayoutDocumentTest, NodeIncludesAnotherDocument) {
    TestSkin skin({
        {u"xml\\main.xml", Doc(R"(<UIWnd width="300" height="200">
  <node file="xml\part.xml" pos="5,6,70,80" id="inc"><Rec id="extra"/></node>
  <node file="xml\missing.xml" id="gone"><Rec id="lost"/></node>
  <node id="nofile"><Rec id="lost2"/></node>
</UIWnd>)")},
        {u"xml\\part.xml",
         Doc(R"(<Rec id="part" pos="1,1,100,50" custom="1"><Rec id="partchild"/></Rec>)")},
    });
    UIControl* root = Load(L"xml\\main.xml");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->Children().size(), 1u);
    UIControl* inc = root->Children()[0];
    EXPECT_EQ(inc->GetId(), L"inc");  // the node's attributes win
    EXPECT_EQ(PosText(inc), "5,6,70,80");
    EXPECT_EQ(inc->GetAttribute(L"file"), L"xml\\part.xml");
    EXPECT_EQ(inc->GetAttribute(L"custom"), L"1");
    ASSERT_EQ(inc->Children().size(), 2u);
    EXPECT_EQ(inc->Children()[0]->GetId(), L"partchild");
    EXPECT_EQ(inc->Children()[1]->GetId(), L"extra");
    std::vector<std::string> expected = {
        "attr part id",
        "attr part pos",
        "attr part custom",
        "attr partchild id",
        "create partchild children=0",
        "create part children=1",
        // the node's attributes, then its children; no second creation message
        "attr part file",
        "attr part pos",
        "attr inc id",
        "attr extra id",
        "create extra children=0",
    };
    EXPECT_EQ(g_steps, expected);
}

TEST_F(LayoutDocumentTest, UnreadableDocumentsGiveNoRoot) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"zero first", std::string("\0<UIWnd/>", 9)},
        {"not well-formed", "<UIWnd><UIControl></UIWnd>"},
        {"two roots", "<UIWnd/><UIWnd/>"},
        {"no element", "just text"},
        {"empty", ""},
        {"unknown root", "<Nothing><UIControl/></Nothing>"},
    };
    for (const auto& c : cases) {
        TestSkin skin({{u"xml\\doc.xml", Bytes(c.bytes)}});
        EXPECT_EQ(Load(L"xml\\doc.xml"), nullptr) << c.name;
    }
    TestSkin skin({{u"xml\\doc.xml", Doc("<UIWnd/>")}});
    EXPECT_EQ(Load(L"xml\\other.xml"), nullptr);
    EXPECT_TRUE(top->Children().empty());
}

TEST_F(LayoutDocumentTest, TextEndsAtTheFirstZeroByte) {
    static const char kDoc[] = "<UIWnd id=\"r\" txt=\"\xE5\xAE\x89\xE8\xA3\x85\"/>\0garbage<";
    TestSkin skin({{u"xml\\doc.xml", Bytes(std::string(kDoc, sizeof(kDoc) - 1))}});
    UIControl* root = Load(L"xml\\doc.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetText(), L"安装");
}

TEST_F(LayoutDocumentTest, NoLoaderGivesNoRoot) {
    UIResLoader* previous = SetResLoader(nullptr);
    EXPECT_EQ(Load(L"xml\\main.xml"), nullptr);
    SetResLoader(previous);
}

TEST_F(LayoutDocumentTest, SelfIncludeIsBounded) {
    TestSkin skin(
        {{u"xml\\loop.xml", Doc(R"(<UIControl><node file="xml\loop.xml"/></UIControl>)")}});
    UIControl* root = Load(L"xml\\loop.xml");
    ASSERT_NE(root, nullptr);
    int depth = 0;
    for (UIControl* c = root; !c->Children().empty(); c = c->Children()[0]) ++depth;
    EXPECT_EQ(depth, UIDocBuilder::kMaxIncludeDepth - 1);
}

TEST_F(LayoutDocumentTest, DeepNestingIsBounded) {
    std::string doc;
    for (int i = 0; i < 5000; ++i) doc += "<UIControl>";
    for (int i = 0; i < 5000; ++i) doc += "</UIControl>";
    TestSkin skin({{u"xml\\deep.xml", Bytes(doc)}});
    UIControl* root = Load(L"xml\\deep.xml");
    ASSERT_NE(root, nullptr);
    int depth = 1;
    for (UIControl* c = root; !c->Children().empty(); c = c->Children()[0]) ++depth;
    EXPECT_EQ(depth, UIDocBuilder::kMaxElementDepth);
}

TEST(ControlFactory, TagsAndClasses) {
    RegisterControlFactory();
    RegisterControlFactory();  // a second call changes nothing
    const struct {
        const wchar_t* tag;
        const char* className;  // null: unknown tag
    } cases[] = {
        {L"UIWnd", "UIControl"},
        {L"UIControl", "UIControl"},
        {L"HLayoutCtrl", "HLayoutCtrl"},
        {L"VLayoutCtrl", "VLayoutCtrl"},
        {L"uiwnd", nullptr},
        {L"node", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        UIControlCreator create = FindControlCreator(c.tag);
        if (!c.className) {
            EXPECT_EQ(create, nullptr) << Narrow(c.tag);
            continue;
        }
        ASSERT_NE(create, nullptr) << Narrow(c.tag);
        Ref control = Ref::Adopt(create());
        EXPECT_STREQ(control->GetClassName(), c.className);
    }
}

TEST_F(LayoutDocumentTest, LayoutControlsArrangeOnCreation) {
    TestSkin skin({{u"xml\\row.xml", Doc(R"(<HLayoutCtrl pos="0,0,100,20" space="4">
  <UIControl id="a" pos="0,0,10,10"/><UIControl id="b" pos="0,0,20,20"/>
</HLayoutCtrl>)")}});
    UIControl* root = Load(L"xml\\row.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(PosText(root->FindById(L"a")), "0,5,10,10");
    EXPECT_EQ(PosText(root->FindById(L"b")), "14,0,20,20");
}

}  // namespace
