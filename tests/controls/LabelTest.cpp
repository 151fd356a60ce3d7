// Labels and links: the text's colour, font and place from the label's own
// attributes, the text rectangle, and the look of links.
#include <gtest/gtest.h>

#include <iterator>

#include "ControlsTestSupport.h"
#include "ui/UIStyleTable.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UILink.h"

namespace {

constexpr int kW = 200, kH = 40;

// Paints a kW x kH label with the attributes and finds its ink.
Ink PaintInk(TestWindow& w, Attrs attrs) {
    UILabel* c = w.Add<UILabel>({{L"pos", L"0,0,200,40"}, {L"font", L"14"}});
    for (const auto& kv : attrs) c->SetAttribute(kv.first, kv.second);
    Canvas canvas(kW, kH);
    c->Paint(canvas.G());
    return FindInk(canvas);
}

TEST(LabelTest, TextColourAndAlignment) {
    TestWindow w;
    const struct {
        const wchar_t* horz;
        const wchar_t* vert;
        int left, right;  // ink edges must lie within [left, right)
        int top, bottom;
    } cases[] = {
        {L"0", L"0", 0, 60, 0, 20},
        {L"1", L"1", 60, 140, 8, 32},
        {L"2", L"2", 140, 200, 20, 40},
        {L"2", L"0", 140, 200, 0, 20},
    };
    for (const auto& c : cases) {
        const Ink ink = PaintInk(
            w, {{L"txt", L"Hello"}, {L"clr", L"#ffff0000"}, {L"horz", c.horz}, {L"vert", c.vert}});
        SCOPED_TRACE(std::string("horz ") + char(*c.horz) + " vert " + char(*c.vert));
        ASSERT_GT(ink.count, 0);
        EXPECT_EQ(ink.rgb, 0xFF0000u);
        EXPECT_GE(ink.left, c.left);
        EXPECT_LT(ink.right, c.right);
        EXPECT_GE(ink.top, c.top);
        EXPECT_LT(ink.bottom, c.bottom);
    }
    // Centred horizontally: the margins left and right match.
    const Ink centre = PaintInk(w, {{L"txt", L"Hello"}, {L"horz", L"1"}});
    EXPECT_NEAR(centre.left, kW - 1 - centre.right, 3);
}

TEST(LabelTest, TextRectangleInsets) {
    TestWindow w;
    const struct {
        Attrs attrs;
        int leftMin, leftMax;    // where the ink may start
        int rightMin, rightMax;  // and end (exclusive bounds above)
    } cases[] = {
        {{{L"xstart", L"50"}}, 50, 58, 60, 130},
        {{{L"xend", L"50"}, {L"horz", L"2"}}, 80, 150, 140, 150},
        {{{L"xstart", L"100"}, {L"xend", L"0"}, {L"horz", L"1"}}, 110, 150, 150, 200},
        // The text inset shrinks the text rectangle, and the text render
        // keeps it as its own margin inside that rectangle.
        {{{L"inset", L"20,0,0,0"}}, 40, 48, 50, 130},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        UILabel* l =
            w.Add<UILabel>({{L"pos", L"0,0,200,40"}, {L"font", L"14"}, {L"txt", L"Hello"}});
        for (const auto& kv : cases[i].attrs) l->SetAttribute(kv.first, kv.second);
        Canvas canvas(kW, kH);
        l->Paint(canvas.G());
        const Ink ink = FindInk(canvas);
        ASSERT_GT(ink.count, 0) << i;
        EXPECT_GE(ink.left, cases[i].leftMin) << i;
        EXPECT_LT(ink.left, cases[i].leftMax) << i;
        EXPECT_GE(ink.right, cases[i].rightMin) << i;
        EXPECT_LT(ink.right, cases[i].rightMax) << i;
    }
}

TEST(LabelTest, TextRectIsNeverInverted) {
    TestWindow w;
    UILabel* l = w.Add<UILabel>(
        {{L"pos", L"0,0,50,20"}, {L"xstart", L"40"}, {L"xend", L"30"}, {L"inset", L"0,30"}});
    RECT rc;
    l->GetTextRect(rc);
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.right, 40);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.bottom, 30);
}

TEST(LabelTest, TxtattrConfiguresOnlyTheText) {
    TestWindow w;
    UIStyleTable::Instance().Add(L"labelBlue", L"clr", L"#ff0000ff");
    const Ink green =
        PaintInk(w, {{L"txt", L"Hello"}, {L"txtattr", L"clr=#ff00ff00|horz=2|bogus|a=b=c|"}});
    EXPECT_EQ(green.rgb, 0x00FF00u);
    EXPECT_GE(green.left, 140);
    const Ink blue = PaintInk(w, {{L"txt", L"Hello"}, {L"txtattr", L"css=labelBlue"}});
    EXPECT_EQ(blue.rgb, 0x0000FFu);
    UIStyleTable::Instance().Clear();
    UILabel* l = w.Add<UILabel>({{L"txtattr", L"clr=#ff00ff00"}, {L"clr", L"#ff0000ff"}});
    EXPECT_EQ(l->GetAttribute(L"txtattr"), L"");
    EXPECT_EQ(l->GetAttribute(L"clr"), L"#ff0000ff");
}

TEST(LabelTest, EmptyTextDrawsOnlyTheBack) {
    TestWindow w;
    Canvas canvas(kW, kH);
    UILabel* l = w.Add<UILabel>({{L"pos", L"0,0,200,40"}, {L"back", L"clr:clr=#ff123456"}});
    l->Paint(canvas.G());
    const Ink ink = FindInk(canvas);
    EXPECT_EQ(ink.count, kW * kH);
    EXPECT_EQ(ink.rgb, 0x123456u);
}

TEST(LabelTest, DisabledLabelUsesClr3AndAliasRestoresTheGraphics) {
    TestWindow w;
    const Ink ink = PaintInk(w, {{L"txt", L"Hello"},
                                 {L"clr", L"#ffff0000"},
                                 {L"clr3", L"#ff808000"},
                                 {L"enable", L"false"}});
    EXPECT_EQ(ink.rgb, 0x808000u);

    UILabel* l = w.Add<UILabel>({{L"pos", L"0,0,200,40"}, {L"txt", L"Hi"}, {L"alias", L"1"}});
    EXPECT_TRUE(l->IsAlias());
    Canvas canvas(kW, kH);
    canvas.G().SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixel);
    l->Paint(canvas.G());
    EXPECT_EQ(canvas.G().GetTextRenderingHint(), Gdiplus::TextRenderingHintSingleBitPerPixel);
    EXPECT_GT(FindInk(canvas).count, 0);
}

// ---- Links -------------------------------------------------------------------

TEST(LinkTest, HoverColourFollowsAttributeOrder) {
    TestWindow w;
    const struct {
        Attrs attrs;
        uint32_t normal, hover, pressed;
    } cases[] = {
        {{{L"clr", L"#ffff0000"}, {L"clr1", L"#ff00ff00"}, {L"clr2", L"#ff0000ff"}},
         0xFF0000,
         0x00FF00,
         0x0000FF},
        {{{L"clr1", L"#ff00ff00"}, {L"clr2", L"#ff0000ff"}, {L"clr", L"#ffff0000"}},
         0xFF0000,
         0xFF0000,
         0xFF0000},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        auto paint = [&](void (*prepare)(UILink*)) {
            UILink* link = w.Add<UILink>({{L"pos", L"0,0,200,40"}, {L"txt", L"link"}});
            for (const auto& kv : cases[i].attrs) link->SetAttribute(kv.first, kv.second);
            if (prepare) prepare(link);
            Canvas canvas(kW, kH);
            link->Paint(canvas.G());
            return FindInk(canvas).rgb;
        };
        EXPECT_EQ(paint(nullptr), cases[i].normal) << i;
        EXPECT_EQ(paint([](UILink* l) { Hover(l); }), cases[i].hover) << i;
        EXPECT_EQ(paint([](UILink* l) { Down(l, 1, 1); }), cases[i].pressed) << i;
    }
}

// A host that remembers the font specs controls ask it for.
class SpecHost : public FontHost {
  public:
    Gdiplus::Font* GetFont(const std::wstring& spec) override {
        specs.push_back(spec);
        return FontHost::GetFont(spec);
    }
    std::vector<std::wstring> specs;
};

TEST(LinkTest, HandCursorAndUnderlinedFontFromTheLayout) {
    const struct {
        Attrs attrs;
        bool hover;
        const wchar_t* spec;  // the font the text is drawn with
    } cases[] = {
        {{{L"font", L"14u"}}, false, L"14u"},
        {{{L"font", L"14"}, {L"font1", L"14u"}}, false, L"14"},
        {{{L"font", L"14"}, {L"font1", L"14u"}}, true, L"14u"},  // underlined while hovered
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SpecHost host;
        UIRefPtr<UIControl> root = UIRefPtr<UIControl>::Adopt(new UIControl());
        root->SetHost(&host);
        UILink* link =
            MakeControl<UILink>(root.get(), {{L"pos", L"0,0,200,40"}, {L"txt", L"link"}});
        for (const auto& kv : cases[i].attrs) link->SetAttribute(kv.first, kv.second);
        EXPECT_EQ(link->GetCursor(), 32649u);
        EXPECT_STREQ(link->GetClassName(), "UILink");
        if (cases[i].hover) Hover(link);
        Canvas canvas(kW, kH);
        link->Paint(canvas.G());
        EXPECT_GT(FindInk(canvas).count, 0) << i;
        ASSERT_EQ(host.specs.size(), 1u) << i;
        EXPECT_EQ(host.specs[0], cases[i].spec) << i;
        const std::wstring spec = host.specs[0];  // GetFont appends to specs
        const bool underlined = (host.GetFont(spec)->GetStyle() & Gdiplus::FontStyleUnderline) != 0;
        EXPECT_EQ(underlined, std::wstring(cases[i].spec) == L"14u") << i;
        root->SendMessage(WM_DESTROY, 0, 0);
    }
}

}  // namespace
