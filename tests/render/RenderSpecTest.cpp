// Colour texts, the render-spec grammar and the state every render draws.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "ui/AttributeParse.h"
#include "ui/StateIndex.h"
#include "ui/UIGradientColor.h"
#include "ui/UIRender.h"
#include "ui/UIRenderImg.h"
#include "ui/UIRenderText.h"
#include "ui/UIStyleTable.h"

namespace {

TEST(ParseColor, Texts) {
    const struct {
        const wchar_t* text;
        uint32_t expected;
    } cases[] = {
        {L"FFFFFF", 0xFEFFFFFF},  // short forms are nearly opaque
        {L"ffffffff", 0xFFFFFFFF},
        {L"#ff5C5D5F", 0xFF5C5D5F},
        {L"0x#80112233", 0x80112233},  // "0x" first, then "#"
        {L"0XFF0000", 0xFEFF0000},
        {L"#1", 0xFE000001},
        {L"123456789", 0x23456789},  // leading digits shifted out
        {L"fg", 0xFE0000F0},         // a stray character reads as 0
        {L"", 0},
        {L"#", 0},
        {L"0x", 0},
        {L"255,0,0", 0xFFFF0000},
        {L"128,255,0,0", 0x80FF0000},
        {L" 10, 20, 30", 0xFF0A141E},
        {L"1,2", 0xFF000000},
        {L"1,2,3,4,5", 0xFF000000},
        {L"white", 0xFFFFFFFF},
        {L"black", 0xFF60656F},  // a dark grey
        {L"White", 0xFE00000E},  // names are case-sensitive: hex digits
    };
    for (const auto& c : cases) EXPECT_EQ(ParseColor(c.text), c.expected) << c.text;
}

TEST(StateIndex, FourSteps) {
    const struct {
        uint32_t state;
        bool select, enable;
        int expected;
    } cases[] = {
        {0, false, true, kStateIndexNormal},
        {UIControl::kStateHover, false, true, kStateIndexHover},
        {UIControl::kStatePressed | UIControl::kStateHover, false, true, kStateIndexPressed},
        {UIControl::kStateActive, false, true, kStateIndexPressed},
        {0, true, true, kStateIndexPressed},
        {UIControl::kStateHover, true, true, kStateIndexPressed},
        {UIControl::kStatePressed, true, false, kStateIndexDisabled},
        {0, false, false, kStateIndexDisabled},
        // The state's disabled bit alone (a disabled parent) does not count.
        {UIControl::kStateDisabled, false, true, kStateIndexNormal},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
        control->SetState(c.state);
        control->SetStyleA(UIControl::kStyleSelect, c.select);
        control->SetStyleA(UIControl::kStyleEnable, c.enable);
        EXPECT_EQ(GetStateIndex(control.get()), c.expected)
            << c.state << " select " << c.select << " enable " << c.enable;
    }
    EXPECT_EQ(GetStateIndex(nullptr), kStateIndexNormal);
}

// The colour a spec paints at the centre of a 10 x 10 control; 1 for no
// render at all.
uint32_t PaintedBy(const std::wstring& spec) {
    UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(spec));
    if (!render) return 1;
    UIRefPtr<UIControl> control =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,10,10"}}));
    Canvas canvas(10, 10);
    render->Draw(control.get(), canvas.G());
    return canvas.At(5, 5);
}

TEST(ParseRenderSpec, Bodies) {
    EnsureGdiplus();
    UIStyleTable::Instance().Add(L"rendertest.red", L"clr", L"#ffff0000");
    const struct {
        const wchar_t* spec;
        uint32_t expected;
    } cases[] = {
        {L"clr:clr=#ffff0000", 0xFFFF0000},
        {L"clr:|clr=#ffff0000", 0xFFFF0000},  // empty items are skipped
        {L"clr:clr=#ffff0000|", 0xFFFF0000},  // a trailing "|" is accepted
        {L"clr:clr=#ffff0000||", 0xFFFF0000},
        {L"clr:clr=#ff00ff00=1", 0},                    // two "=": ignored
        {L"clr:clr|clrn=#ff0000ff", 0xFF0000FF},        // no "=": ignored
        {L"clr:Clr=#ffff0000", 0},                      // keys are case-sensitive
        {L"clr:shape=oval|clr=#ff00ff00", 0xFF00FF00},  // unknown keys ignored
        {L"clr:css=rendertest.red", 0xFFFF0000},
        {L"clr:css=rendertest.none", 0},
        {L"grd:clr=#ff00ff00|clrh=#ff00ff00", 0xFF00FF00},
        {L"img:", 0},  // an image render without an image
        {L"img:file=img\\missing.png", 0},
        {L"txt:", 0},  // a control without text
        {L"clr:", 0},
        {L"CLR:clr=#ffff0000", 1},
        {L"pic:clr=#ffff0000", 1},
        {L"clr", 1},
        {L"", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(PaintedBy(c.spec), c.expected) << c.spec;
    UIStyleTable::Instance().Clear();
}

TEST(ParseRenderSpec, PrefixSelectsTheClass) {
    const struct {
        const wchar_t* spec;
        bool (*is)(UIRender*);
    } cases[] = {
        {L"img:type=3", [](UIRender* r) { return dynamic_cast<UIRenderImg*>(r) != nullptr; }},
        {L"txt:horz=1", [](UIRender* r) { return dynamic_cast<UIRenderText*>(r) != nullptr; }},
        {L"clr:round=2",
         [](UIRender* r) {
             return dynamic_cast<UIRenderColor*>(r) && !dynamic_cast<UIGradientColor*>(r);
         }},
        {L"grd:mode=0", [](UIRender* r) { return dynamic_cast<UIGradientColor*>(r) != nullptr; }},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(c.spec));
        ASSERT_TRUE(render) << c.spec;
        EXPECT_TRUE(c.is(render.get())) << c.spec;
        EXPECT_EQ(render->RefCount(), 1);
    }
}

TEST(ParseRenderSpec, BackAttributeIsParsedOnceAndPaints) {
    EnsureGdiplus();
    UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(
        MakeControl(nullptr, {{L"pos", L"0,0,10,10"}, {L"back", L"clr:clr=#ff0000ff"}}));
    UIRender* back = control->GetBack();
    ASSERT_NE(back, nullptr);
    for (int paint = 0; paint < 2; ++paint) {
        Canvas canvas(10, 10);
        control->Paint(canvas.G());
        EXPECT_EQ(canvas.At(5, 5), 0xFF0000FFu);
        EXPECT_EQ(control->GetBack(), back);
    }
}

}  // namespace
