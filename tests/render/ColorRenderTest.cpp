// Colour and gradient renders: per-state fills, borders, rounded corners.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "ui/UIRender.h"

namespace {

uint8_t Channel(uint32_t argb, int shift) { return uint8_t(argb >> shift); }

// A control of w x h in the given look: state bits, select bit, enable bit.
struct Look {
    uint32_t state = 0;
    bool select = false;
    bool enable = true;
};

UIRefPtr<UIControl> MakeLooking(int w, int h, const Look& look) {
    UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
    control->SetPos(0, 0, w, h);
    control->SetState(look.state);
    control->SetStyleA(UIControl::kStyleSelect, look.select);
    control->SetStyleA(UIControl::kStyleEnable, look.enable);
    return control;
}

void Paint(const std::wstring& spec, Canvas& canvas, const Look& look = {}) {
    EnsureGdiplus();
    UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(spec));
    ASSERT_TRUE(render) << std::string(spec.begin(), spec.end());
    UIRefPtr<UIControl> control = MakeLooking(canvas.Width(), canvas.Height(), look);
    render->Draw(control.get(), canvas.G());
}

const Look kLooks[] = {
    {0, false, true},                         // normal
    {UIControl::kStateHover, false, true},    // hover
    {UIControl::kStatePressed, false, true},  // pressed
    {0, true, true},                          // selected
    {UIControl::kStateHover, false, false},   // disabled
};

TEST(ColorRender, FillAndBorderFollowTheState) {
    const struct {
        const wchar_t* spec;
        uint32_t fill[5];    // per entry of kLooks, at the centre
        uint32_t border[5];  // on the left edge
    } cases[] = {
        {L"clr:clrn=#ff000001|clrh=#ff000002|clrp=#ff000003|clrd=#ff000004",
         {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000003, 0xFF000004},
         {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000003, 0xFF000004}},
        {L"clr:clr=#ff0000ff|clr1=#ff000002|clr2=#ff000003|clr3=#ff000004|border=#ff00ff00",
         {0xFF0000FF, 0xFF000002, 0xFF000003, 0xFF000003, 0xFF000004},
         {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00}},
        {L"clr:clr=#ff0000ff|bordern=#ff000011|borderh=#ff000012|border2=#ff000013|borderd=#"
         L"ff000014",
         {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF},
         {0xFF000011, 0xFF000012, 0xFF000013, 0xFF000013, 0xFF000014}},
        // A gradient without a radius has no state fill and no border.
        {L"grd:clr=#ff0000ff|clrd=#ffff0000|border=#ff00ff00",
         {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF},
         {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}},
    };
    for (const auto& c : cases) {
        for (size_t i = 0; i < 5; ++i) {
            Canvas canvas(10, 10);
            Paint(c.spec, canvas, kLooks[i]);
            EXPECT_EQ(canvas.At(5, 5), c.fill[i]) << "look " << i;
            EXPECT_EQ(canvas.At(0, 5), c.border[i]) << "look " << i;
            EXPECT_EQ(canvas.At(9, 5), c.border[i]) << "look " << i;
        }
    }
}

TEST(ColorRender, RoundedFillInEveryStateWithoutBorder) {
    for (const Look& look : kLooks) {
        Canvas canvas(24, 16);
        Paint(L"clr:clr=#80ff0000|round=4", canvas, look);
        EXPECT_EQ(canvas.At(12, 8), 0x80FF0000u);
        EXPECT_EQ(canvas.At(0, 0), 0u);  // the corners stay clear
        EXPECT_EQ(canvas.At(23, 15), 0u);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                const uint32_t p = canvas.At(x, y);
                // No border: nothing more opaque or of another colour.
                ASSERT_LE(Channel(p, 24), 0x80) << x << "," << y;
                if (p) {
                    ASSERT_EQ(p & 0xFFFFFF, 0xFF0000u) << x << "," << y;
                }
            }
        }
    }
}

TEST(ColorRender, RoundedBorderAndCorners) {
    Canvas canvas(20, 20);
    Paint(L"clr:clr=#ff0000ff|round=6|border=#ffff0000", canvas);
    EXPECT_EQ(canvas.At(10, 10), 0xFF0000FFu);
    EXPECT_EQ(canvas.At(0, 0), 0u);
    EXPECT_EQ(canvas.At(19, 19), 0u);
    // The outline runs along the left edge, half a pixel in.
    EXPECT_GT(Channel(canvas.At(0, 10), 16), 0x60);
    EXPECT_LT(Channel(canvas.At(0, 10), 0), Channel(canvas.At(10, 10), 0));
}

TEST(GradientRender, RunsFromNormalToHover) {
    const struct {
        const wchar_t* spec;
        int w, h;
        int startX, startY, endX, endY;
    } cases[] = {
        {L"grd:clrn=#ffff0000|clrh=#ff0000ff", 8, 64, 4, 0, 4, 63},  // vertical by default
        {L"grd:clrn=#ffff0000|clrh=#ff0000ff|mode=0", 64, 8, 0, 4, 63, 4},
        {L"grd:clrn=#ffff0000|clrh=#ff0000ff|mode=2", 64, 64, 0, 0, 63, 63},
        // Rounded: a fully transparent state fill leaves the gradient seen.
        {L"grd:clrn=#ffff0000|clrh=#ff0000ff|clrp=#00000000|round=3|mode=0", 64, 8, 3, 4, 60, 4},
    };
    for (const auto& c : cases) {
        Canvas canvas(c.w, c.h);
        Paint(c.spec, canvas, Look{UIControl::kStatePressed});
        const uint32_t start = canvas.At(c.startX, c.startY), end = canvas.At(c.endX, c.endY);
        EXPECT_GT(Channel(start, 16), 0xE0) << std::hex << start;
        EXPECT_LT(Channel(start, 0), 0x20) << std::hex << start;
        EXPECT_LT(Channel(end, 16), 0x20) << std::hex << end;
        EXPECT_GT(Channel(end, 0), 0xE0) << std::hex << end;
    }
}

TEST(ColorRender, ExtremeRadiiPaintOnlyTheirColour) {
    const struct {
        const wchar_t* spec;
        int w, h;
    } cases[] = {
        {L"clr:clr=#ffff0000|round=2147483647|border=#ffff0000", 12, 12},
        {L"clr:clr=#ffff0000|round=-2147483648|border=#ffff0000", 12, 12},
        {L"grd:clr=#ffff0000|round=2147483647|mode=3", 12, 12},
        {L"clr:clr=#ffff0000|round=4|border=#ffff0000", 12, 1},
        {L"grd:clr=#ffff0000|round=4|border=#ffff0000", 1, 12},
    };
    for (const auto& c : cases) {
        Canvas canvas(c.w, c.h);
        Paint(c.spec, canvas);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const uint32_t p = canvas.At(x, y);
                if (p) {
                    ASSERT_EQ(p & 0xFFFFFF, 0xFF0000u) << x << "," << y;
                }
            }
        }
    }
}

TEST(GradientRender, UnknownModeStillDrawsTheStateFill) {
    for (const wchar_t* mode : {L"4", L"-1"}) {
        Canvas canvas(16, 16);
        Paint(std::wstring(L"grd:clrn=#ffff0000|clrh=#ff0000ff|round=2|mode=") + mode, canvas);
        EXPECT_EQ(canvas.At(8, 8), 0xFFFF0000u) << mode;  // fill colour normal
    }
}

}  // namespace
