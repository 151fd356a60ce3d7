// Text renders: per-state colour and font, alignment, run markup, shadow,
// font specs and measuring. Glyphs are found as the ink on a clear canvas.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "ui/TextDraw.h"
#include "ui/UIRender.h"

namespace {

class TextRenderTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureGdiplus(); }

    // Paints spec over a w x h control showing text, in the given state.
    Ink Paint(const std::wstring& spec, const std::wstring& text, int w = 160, int h = 48,
              uint32_t state = 0, bool select = false, bool enable = true) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(spec));
        UIRefPtr<UIControl> control =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"txt", text.c_str()}}));
        control->SetPos(0, 0, w, h);
        control->SetHost(&host);
        control->SetState(state);
        control->SetStyleA(UIControl::kStyleSelect, select);
        control->SetStyleA(UIControl::kStyleEnable, enable);
        Canvas canvas(w, h);
        render->Draw(control.get(), canvas.G());
        control->SetHost(nullptr);
        return FindInk(canvas);
    }

    FontHost host;
};

TEST_F(TextRenderTest, StateChoosesColourAndFont) {
    const wchar_t* spec =
        L"txt:font=12|clr0=#ff0000ff|clr1=#ff00ff00|clr2=#ffff0000|clr3=#ff808000";
    const Ink small = Paint(L"txt:font=12", L"HH");
    const Ink large = Paint(L"txt:font=30", L"HH");
    ASSERT_GT(small.count, 0);
    ASSERT_GT(large.bottom - large.top, small.bottom - small.top + 8);
    const struct {
        std::wstring extra;
        uint32_t state;
        bool select, enable;
        uint32_t rgb;
        const Ink& like;  // the ink height expected
    } cases[] = {
        {L"", 0, false, true, 0x0000FF, small},
        {L"", UIControl::kStateHover, false, true, 0x00FF00, small},
        {L"", UIControl::kStatePressed, false, true, 0xFF0000, small},
        {L"", 0, true, true, 0xFF0000, small},  // the select bit draws pressed
        {L"|font3=30", 0, false, false, 0x808000, large},
        {L"", 0, false, false, 0x808000, small},  // no font3: font0
        {L"|font3=30", UIControl::kStateHover, false, true, 0x00FF00, small},
        {L"|font1=30", UIControl::kStateHover, false, true, 0x00FF00, large},
    };
    for (const auto& c : cases) {
        const Ink ink = Paint(spec + c.extra, L"HH", 160, 48, c.state, c.select, c.enable);
        EXPECT_EQ(ink.rgb, c.rgb) << std::hex << c.state;
        EXPECT_EQ(ink.Height(), c.like.Height()) << std::hex << c.state;
    }
}

TEST_F(TextRenderTest, DisabledDefaultsToGrey) {
    EXPECT_EQ(Paint(L"txt:font=20", L"HH", 160, 48, 0, false, false).rgb, 0x3C3C3Cu);
    EXPECT_EQ(Paint(L"txt:font=20", L"HH").rgb, 0x000000u);
}

TEST_F(TextRenderTest, AlignmentMovesTheInk) {
    const int w = 200, h = 60;
    const Ink nearInk = Paint(L"txt:font=16|horz=0|vert=0", L"HH", w, h);
    const Ink centre = Paint(L"txt:font=16|horz=1|vert=1", L"HH", w, h);
    const Ink farInk = Paint(L"txt:font=16|horz=2|vert=2", L"HH", w, h);
    const Ink inset = Paint(L"txt:font=16|horz=0|vert=0|inset=40,20", L"HH", w, h);
    ASSERT_GT(nearInk.count, 0);
    EXPECT_LT(nearInk.left, 10);
    EXPECT_LT(nearInk.top, 12);
    EXPECT_NEAR((centre.left + centre.right) / 2, w / 2, 3);
    EXPECT_NEAR((centre.top + centre.bottom) / 2, h / 2, 4);
    EXPECT_GT(farInk.right, w - 10);
    EXPECT_GT(farInk.bottom, h - 12);
    EXPECT_EQ(inset.left, nearInk.left + 40);
    EXPECT_EQ(inset.top, nearInk.top + 20);
    // Margins that leave no room draw nothing.
    EXPECT_EQ(Paint(L"txt:font=16|inset=100,0,100,0", L"HH", w, h).count, 0);
}

TEST_F(TextRenderTest, RunMarkupTakesTheRootsFontAndColour) {
    const std::wstring runs =
        L"<text font=\"30\" clr=\"#ff0000ff\"><p>HH</p><p clr=\"#ff00ff00\" font=\"12\">HH</p>"
        L"<p clr=\"#ffff0000\">HH</p></text>";
    const int w = 240;
    UIRefPtr<UIRender> render =
        UIRefPtr<UIRender>::Adopt(ParseRenderSpec(L"txt:keyword=1|horz=1|font=14|clr=#ff000000"));
    UIRefPtr<UIControl> control =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"txt", runs.c_str()}}));
    control->SetPos(0, 0, w, 48);
    control->SetHost(&host);
    Canvas canvas(w, 48);
    render->Draw(control.get(), canvas.G());
    control->SetHost(nullptr);
    const Ink all = FindInk(canvas);
    ASSERT_GT(all.count, 0);
    // Three runs side by side, centred as a whole.
    EXPECT_NEAR((all.left + all.right) / 2, w / 2, 6);
    const Ink large = Paint(L"txt:font=30", L"HH");
    const Ink small = Paint(L"txt:font=12", L"HH");
    const struct {
        uint32_t rgb;
        const Ink& like;
    } cases[] = {
        {0x0000FF, large},  // the root's font and colour
        {0x00FF00, small},  // its own
        {0xFF0000, large},  // its own colour, the root's font
    };
    int previousRight = -1;
    for (const auto& c : cases) {
        const Ink ink = FindInk(canvas, c.rgb);
        ASSERT_GT(ink.count, 0) << std::hex << c.rgb;
        EXPECT_EQ(ink.Height(), c.like.Height()) << std::hex << c.rgb;
        EXPECT_GT(ink.left, previousRight) << std::hex << c.rgb;  // in order, side by side
        previousRight = ink.right;
    }
}

TEST_F(TextRenderTest, MarkupWithoutRootIsPlainText) {
    const Ink keyword = Paint(L"txt:keyword=1|font=16|clr=#ff0000ff", L"<p>HH</p>");
    const Ink plain = Paint(L"txt:font=16|clr=#ff0000ff", L"<p>HH</p>");
    EXPECT_EQ(keyword.count, plain.count);
    EXPECT_EQ(keyword.left, plain.left);
}

TEST_F(TextRenderTest, ShadowDarkensBelowTheText) {
    EnsureGdiplus();
    const int w = 120, h = 48;
    for (bool shadow : {false, true}) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(
            std::wstring(L"txt:font=20|clr=#ffffffff|shadow=") + (shadow ? L"1" : L"0")));
        UIRefPtr<UIControl> control =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"txt", L"HH"}}));
        control->SetPos(0, 0, w, h);
        control->SetHost(&host);
        Canvas canvas(w, h);
        render->Draw(control.get(), canvas.G());
        control->SetHost(nullptr);
        int whiteBottom = -1, darkBottom = -1;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t p = canvas.At(x, y);
                if ((p >> 24) < 0x80) continue;
                if ((p & 0xFFFFFF) == 0xFFFFFF) whiteBottom = y;
                if ((p & 0xFFFFFF) == 0) darkBottom = y;
            }
        }
        ASSERT_GE(whiteBottom, 0);
        if (shadow) {
            EXPECT_GE(darkBottom, whiteBottom + 3);
        } else {
            EXPECT_EQ(darkBottom, -1);
        }
    }
}

TEST_F(TextRenderTest, WithoutHostTheDefaultFontIsUsed) {
    UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(L"txt:font=30"));
    UIRefPtr<UIControl> control =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"txt", L"HH"}}));
    control->SetPos(0, 0, 160, 48);
    Canvas canvas(160, 48);
    render->Draw(control.get(), canvas.G());
    const Ink ink = FindInk(canvas);
    const Ink reference = Paint(L"txt:", L"HH");  // the host's default: 13 pixels
    EXPECT_EQ(ink.Height(), reference.bottom - reference.top);
    EXPECT_EQ(ink.right - ink.left, reference.right - reference.left);
}

TEST_F(TextRenderTest, HugeControlsAndMarginsStayInBounds) {
    const struct {
        const wchar_t* spec;
        int w, h;
    } cases[] = {
        {L"txt:font=14|shadow=1|clr=#ffff0000", 2147483647, 2147483647},
        {L"txt:font=14|shadow=1|clr=#ffff0000|inset=-2147483648,-5,-2147483648,0", 40, 40},
        {L"txt:font=14|keyword=1|clr=#ffff0000|inset=2147483647,2147483647", 2147483647, 40},
        {L"txt:font=2147483647|clr=#ffff0000|ntrim=99", 40, 40},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(c.spec));
        UIRefPtr<UIControl> control =
            UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"txt", L"<text><p>HH</p></text>"}}));
        control->SetPos(0, 0, c.w, c.h);
        control->SetHost(&host);
        Canvas canvas(40, 40);
        render->Draw(control.get(), canvas.G());
        control->SetHost(nullptr);
        const Ink ink = FindInk(canvas);
        if (ink.count) {
            EXPECT_EQ(ink.rgb, 0xFF0000u) << c.spec;
        }
    }
}

TEST(FontSpec, SizesAndStyles) {
    EnsureGdiplus();
    const struct {
        const wchar_t* spec;
        int size, style;
    } cases[] = {
        {L"14bu", 14, Gdiplus::FontStyleBold | Gdiplus::FontStyleUnderline},
        {L"14", 14, 0},
        {L"12IS", 12, Gdiplus::FontStyleItalic | Gdiplus::FontStyleStrikeout},
        {L"14u", 14, Gdiplus::FontStyleUnderline},
        // A family before "_": its letters are not styles, the size follows it.
        {L"Tahoma_14b", 14, Gdiplus::FontStyleBold},
        {L"Courier New_12", 12, 0},
        {L"NoSuchFamilyAtAll_16i", 16, Gdiplus::FontStyleItalic},
    };
    for (const auto& c : cases) {
        const UIFontSpec parsed = ParseFontSpec(c.spec);
        EXPECT_EQ(parsed.size, c.size) << c.spec;
        EXPECT_EQ(parsed.style, c.style) << c.spec;
        std::unique_ptr<Gdiplus::Font> font(CreateFontForSpec(c.spec));
        ASSERT_TRUE(font) << c.spec;
        EXPECT_EQ(font->GetSize(), float(c.size)) << c.spec;
        EXPECT_EQ(font->GetStyle(), c.style) << c.spec;
        EXPECT_EQ(font->GetUnit(), Gdiplus::UnitPixel) << c.spec;
    }
    Gdiplus::Font* fallback = DefaultFont();
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->GetSize(), 13.0f);
    EXPECT_EQ(fallback->GetStyle(), 0);
    EXPECT_EQ(FontHost().GetFont(L""), fallback);
}

TEST(MeasureText, BothVariantsAgree) {
    EnsureGdiplus();
    std::unique_ptr<Gdiplus::Font> font(CreateFontForSpec(L"20"));
    ASSERT_TRUE(font);
    Canvas canvas(10, 10);
    const SIZE one = MeasureText(canvas.G(), L"H", font.get());
    const SIZE two = MeasureText(canvas.G(), L"HH", font.get());
    const SIZE spaced = MeasureText(L"HH  ", font.get());  // trailing spaces count
    EXPECT_GT(one.cx, 1);
    EXPECT_GT(one.cy, 10);
    EXPECT_NEAR(two.cx - 1, 2 * (one.cx - 1), 2);
    EXPECT_GT(spaced.cx, two.cx);
    EXPECT_EQ(MeasureText(L"HH", font.get()).cx, two.cx);
    EXPECT_EQ(MeasureText(L"HH", font.get()).cy, two.cy);
    EXPECT_EQ(MeasureText(L"HH", nullptr).cx, 0);
}

}  // namespace
