// Image renders: each slicing mode on a 9 x 9 image whose every pixel has its
// own colour, so the source pixel behind each destination pixel is visible.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "RenderTestSupport.h"
#include "ui/UIRender.h"

namespace {

uint32_t Source(int x, int y) {
    return 0xFF000000u | uint32_t(x * 25 + 10) << 16 | (y * 25 + 10) << 8 | 0x40;
}

struct Probe {
    int dx, dy;
    int sx, sy;  // the image pixel expected there; sx < 0: transparent
    // Shrinking samples differ between GDI+ versions (the pixel under the
    // destination pixel's centre or under its left edge): the other choice.
    int ax = -1, ay = -1;
};

class ImageRenderTest : public ::testing::Test {
  protected:
    TestSkin skin{{{u"img\\grid.bmp", MakeBmp(9, 9, Source)}}};

    // Paints spec over a control of w x h and checks the probes.
    void Check(const std::wstring& spec, int w, int h, const std::vector<Probe>& probes) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(spec));
        ASSERT_TRUE(render);
        UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
        control->SetPos(0, 0, w, h);
        Canvas canvas(w + 2, h + 2);
        canvas.UseNearestPixels();
        render->Draw(control.get(), canvas.G());
        for (const Probe& p : probes) {
            const uint32_t expected = p.sx < 0 ? 0 : Source(p.sx, p.sy);
            const uint32_t other = p.ax < 0 ? expected : Source(p.ax, p.ay);
            const uint32_t got = canvas.At(p.dx, p.dy);
            EXPECT_TRUE(got == expected || got == other)
                << spec << " at " << p.dx << "," << p.dy << " wants " << p.sx << "," << p.sy
                << " got " << std::hex << got;
        }
    }
};

TEST_F(ImageRenderTest, DrawTypes) {
    const struct {
        const wchar_t* spec;
        int w, h;
        std::vector<Probe> probes;
    } cases[] = {
        // Stretch of the whole image, of a src part, into a dst part.
        {L"img:file=img\\grid.bmp", 18, 18, {{0, 0, 0, 0}, {17, 17, 8, 8}, {9, 3, 4, 1}}},
        {L"img:file=img\\grid.bmp|src=3,3,3,3", 9, 9, {{1, 1, 3, 3}, {7, 7, 5, 5}, {4, 1, 4, 3}}},
        {L"img:file=img\\grid.bmp|dst=2,2,9,9",
         13,
         13,
         {{1, 1, -1, 0}, {2, 2, 0, 0}, {10, 10, 8, 8}, {11, 11, -1, 0}}},
        // Three-slice across: src 6 wide, l = 2; columns 2..3 fill the middle.
        {L"img:file=img\\grid.bmp|type=1|src=0,0,6,3",
         20,
         3,
         {{0, 0, 0, 0},
          {1, 2, 1, 2},
          {2, 0, 2, 0},
          {9, 1, 2, 1},
          {10, 0, 3, 0},
          {17, 0, 3, 0},
          {18, 0, 4, 0},
          {19, 2, 5, 2}}},
        // A dst narrower than src: the whole src stretched.
        {L"img:file=img\\grid.bmp|type=1|src=0,0,6,3",
         2,
         3,
         {{0, 0, 1, 0, 0, 0}, {1, 0, 4, 0, 3, 0}}},
        // Three-slice down: src 6 high, m = 2; rows 2..3 fill the middle.
        {L"img:file=img\\grid.bmp|type=2|src=0,0,3,6",
         3,
         20,
         {{0, 0, 0, 0},
          {2, 1, 2, 1},
          {0, 2, 0, 2},
          {0, 9, 0, 2},
          {0, 10, 0, 3},
          {0, 18, 0, 4},
          {1, 19, 1, 5}}},
        {L"img:file=img\\grid.bmp|type=2|src=0,0,3,6",
         3,
         2,
         {{0, 0, 0, 1, 0, 0}, {0, 1, 0, 4, 0, 3}}},
        // Nine-grid: g = 3; corners unscaled, edges from the middle of each
        // side, the interior from the single centre pixel (4, 4).
        {L"img:file=img\\grid.bmp|type=3|src=0,0,1,1",
         30,
         24,
         {{0, 0, 0, 0},
          {2, 2, 2, 2},
          {27, 0, 6, 0},
          {29, 23, 8, 8},
          {0, 21, 0, 6},
          {3, 0, 3, 0},
          {26, 2, 5, 2},
          {15, 22, 4, 7},
          {1, 3, 1, 3},
          {28, 20, 7, 5},
          {3, 3, 4, 4},
          {26, 20, 4, 4},
          {15, 12, 4, 4}}},
        // Whole-image three-slice: s = min(9, dst width) / 3, src ignored.
        {L"img:file=img\\grid.bmp|type=4|src=0,0,2,2",
         18,
         9,
         {{0, 0, 0, 0}, {2, 8, 2, 8}, {3, 4, 3, 4}, {14, 4, 5, 4}, {15, 0, 6, 0}, {17, 8, 8, 8}}},
        {L"img:file=img\\grid.bmp|type=4",
         6,
         9,
         {{0, 0, 0, 0}, {1, 0, 1, 0}, {4, 0, 7, 0}, {5, 0, 8, 0}}},
        // Unknown types draw nothing.
        {L"img:file=img\\grid.bmp|type=7", 9, 9, {{0, 0, -1, 0}, {4, 4, -1, 0}, {8, 8, -1, 0}}},
        {L"img:file=img\\grid.bmp|type=-1", 9, 9, {{4, 4, -1, 0}}},
    };
    for (const auto& c : cases) Check(c.spec, c.w, c.h, c.probes);
}

TEST_F(ImageRenderTest, OutOfRangeRectanglesStayInsideTheImage) {
    const struct {
        const wchar_t* spec;
        int w, h;
        std::vector<Probe> probes;
    } cases[] = {
        // src cut to the image: the part (0, 0, 4, 4) is stretched over dst.
        {L"img:file=img\\grid.bmp|src=-4,-4,8,8", 8, 8, {{0, 0, 0, 0}, {7, 7, 3, 3}}},
        {L"img:file=img\\grid.bmp|src=6,6,100,100", 3, 3, {{0, 0, 6, 6}, {2, 2, 8, 8}}},
        {L"img:file=img\\grid.bmp|src=9,0,5,5", 4, 4, {{1, 1, -1, 0}}},
        {L"img:file=img\\grid.bmp|src=2147483000,0,2000,2000", 4, 4, {{1, 1, -1, 0}}},
        {L"img:file=img\\grid.bmp|src=-2147483648,0,2147483647,9", 4, 4, {{1, 1, -1, 0}}},
        {L"img:file=img\\grid.bmp|type=1|src=5,0,2147483647,3", 4, 3, {{0, 0, 5, 0}}},
        // Negative sizes are empty: the whole image, the whole control.
        {L"img:file=img\\grid.bmp|src=4,4,-3,-3|dst=3,3,-2,-2", 9, 9, {{0, 0, 0, 0}, {8, 8, 8, 8}}},
        // A malformed dst leaves the default.
        {L"img:file=img\\grid.bmp|dst=1,2,3", 9, 9, {{0, 0, 0, 0}}},
        // Far-off or huge destinations draw nothing visible and do not fail.
        {L"img:file=img\\grid.bmp|dst=-2147483648,-2147483648,100,100", 4, 4, {{1, 1, -1, 0}}},
        {L"img:file=img\\grid.bmp|type=3|dst=2147483600,0,2147483647,2147483647",
         4,
         4,
         {{1, 1, -1, 0}}},
        {L"img:file=img\\grid.bmp|type=4|dst=0,0,2147483647,4", 4, 4, {}},
    };
    for (const auto& c : cases) Check(c.spec, c.w, c.h, c.probes);
}

TEST_F(ImageRenderTest, SetDstRectMovesTheImage) {
    UIRefPtr<UIRender> render =
        UIRefPtr<UIRender>::Adopt(ParseRenderSpec(L"img:file=img\\grid.bmp"));
    ASSERT_TRUE(render);
    render->SetDstRect(RECT{4, 4, 13, 13});
    UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
    control->SetPos(0, 0, 20, 20);
    Canvas canvas(20, 20);
    canvas.UseNearestPixels();
    render->Draw(control.get(), canvas.G());
    EXPECT_EQ(canvas.At(3, 3), 0u);
    EXPECT_EQ(canvas.At(4, 4), Source(0, 0));
    EXPECT_EQ(canvas.At(12, 12), Source(8, 8));
    EXPECT_EQ(canvas.At(13, 13), 0u);
}

// An image drawn at its own size copies every source pixel whatever part of
// it the clip shows and wherever the origin is, with GDI+'s default modes
// (a window repaints a band of its background this way).
TEST_F(ImageRenderTest, ImagesAtTheirOwnSizeCopyEachPixelUnderAnyClip) {
    const struct {
        const wchar_t* spec;
        int size;    // the control is size x size
        int sx, sy;  // the image pixel at the control's top-left corner
        int ox, oy;  // the control's origin on the canvas
        RECT clip;   // on the canvas
    } cases[] = {
        {L"img:file=img\\grid.bmp", 9, 0, 0, 0, 0, {0, 0, 16, 16}},
        {L"img:file=img\\grid.bmp", 9, 0, 0, 3, 2, {0, 0, 16, 16}},
        {L"img:file=img\\grid.bmp", 9, 0, 0, 3, 2, {7, 0, 9, 16}},  // a band
        {L"img:file=img\\grid.bmp", 9, 0, 0, 3, 2, {5, 6, 6, 7}},   // one pixel
        {L"img:file=img\\grid.bmp", 9, 0, 0, 5, 5, {10, 10, 16, 16}},
        {L"img:file=img\\grid.bmp|src=2,3,5,5", 5, 2, 3, 4, 1, {5, 2, 8, 16}},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIRender> render = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(c.spec));
        ASSERT_TRUE(render);
        UIRefPtr<UIControl> control = UIRefPtr<UIControl>::Adopt(MakeControl(nullptr));
        control->SetPos(0, 0, c.size, c.size);
        Canvas canvas(16, 16);
        const RECT& k = c.clip;
        canvas.G().SetClip(Gdiplus::Rect(k.left, k.top, k.right - k.left, k.bottom - k.top));
        canvas.G().TranslateTransform(Gdiplus::REAL(c.ox), Gdiplus::REAL(c.oy));
        render->Draw(control.get(), canvas.G());
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int ix = x - c.ox, iy = y - c.oy;
                const bool shown = x >= k.left && x < k.right && y >= k.top && y < k.bottom &&
                                   ix >= 0 && ix < c.size && iy >= 0 && iy < c.size;
                const uint32_t expected = shown ? Source(c.sx + ix, c.sy + iy) : 0;
                ASSERT_EQ(canvas.At(x, y), expected)
                    << c.spec << " origin " << c.ox << "," << c.oy << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
