// Images the window draws at their own size go straight into its back
// buffer; the pixels must be those GDI+ gives for the same tree, whatever
// the image's alpha, the control's place, the parent's clip and the part of
// the window repainted.
#include <gtest/gtest.h>

#include <memory>

#include "HostTestSupport.h"
#include "app/Handles.h"
#include "ui/BackBuffer.h"
#include "ui/TreePainter.h"
#include "ui/controls/UIProgress.h"
#include "ui/PngEncoding.h"

namespace {

constexpr int kW = 80, kH = 60;

// Alphas from clear to opaque, so every blending case shows.
constexpr BYTE kAlphas[] = {0, 1, 64, 128, 200, 254, 255};

// A w x h PNG whose pixels have a colour of their own; unless opaque, every
// third row cycles through kAlphas and the others alternate clear and
// opaque pixels (rows GDI+ versions blend alike).
std::vector<uint8_t> MakePng(int w, int h, bool opaque) {
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const BYTE binary = (x + y) % 2 ? 255 : 0;
            const BYTE a = opaque ? 255 : y % 3 == 1 ? kAlphas[(x + 3 * y) % 7] : binary;
            bitmap.SetPixel(x, y, Gdiplus::Color(a, BYTE(x * 10 + 5), BYTE(y * 12 + 3), 0x90));
        }
    }
    return EncodePng(bitmap);
}

UIControl* AddImage(UIControl* parent, const wchar_t* pos, const wchar_t* back, Attrs extra = {}) {
    auto* c = MakeControl<UIControl>(parent, {{L"pos", pos}, {L"back", back}});
    for (const auto& kv : extra) c->SetAttribute(kv.first, kv.second);
    return c;
}

class ImageBlendTest : public ::testing::Test {
  protected:
    TestSkin skin{
        {{u"img\\alpha.png", MakePng(24, 20, false)}, {u"img\\solid.png", MakePng(30, 16, true)}}};

    // The tree painted by GDI+ alone into a buffer of the window's size.
    static std::unique_ptr<BackBuffer> Reference(UIHostWnd* host) {
        auto buffer = std::make_unique<BackBuffer>();
        buffer->Resize(kW, kH);
        Gdiplus::Graphics g(buffer->Surface());
        PaintControlTree(host, g, RECT{0, 0, kW, kH});
        return buffer;
    }

    static ::testing::AssertionResult Same(const BackBuffer& got, const BackBuffer& want) {
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                if (got.Pixel(x, y) == want.Pixel(x, y)) continue;
                return ::testing::AssertionFailure()
                       << "at " << x << "," << y << std::hex << " got " << got.Pixel(x, y)
                       << " want " << want.Pixel(x, y);
            }
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ImageBlendTest, DirectDrawsGiveTheGdiplusPixels) {
    const wchar_t* alpha = L"img:file=img\\alpha.png";
    const wchar_t* solid = L"img:file=img\\solid.png";
    const struct {
        const char* what;
        void (*build)(UIControl* top, const wchar_t* alpha, const wchar_t* solid);
    } cases[] = {
        {"over nothing and over colour, partly outside the window",
         [](UIControl* top, const wchar_t* a, const wchar_t* s) {
             AddSwatch(top, L"fill", L"10,10,50,40", 0xC0406080);
             AddImage(top, L"-5,-3,24,20", a);
             AddImage(top, L"20,20,24,20", a);
             AddImage(top, L"66,50,24,20", a);
             AddImage(top, L"40,2,30,16", s);
         }},
        {"nested, cut by the parent, beside a part of the source",
         [](UIControl* top, const wchar_t* a, const wchar_t* s) {
             UIControl* box = AddSwatch(top, L"box", L"8,6,40,30", 0x80FF0000);
             AddImage(box, L"3,4,24,20", a);
             AddImage(box, L"25,20,30,16", s);  // reaches past the box
             AddImage(top, L"50,30,10,8", L"img:file=img\\alpha.png|src=7,5,10,8");
         }},
        {"stretched, sliced and nine-grid",
         [](UIControl* top, const wchar_t* a, const wchar_t* s) {
             AddSwatch(top, L"fill", L"0,20,80,40", 0xFF204060);
             AddImage(top, L"2,2,70,16", s);
             AddImage(top, L"5,22,50,30", L"img:file=img\\alpha.png|type=3");
             AddImage(top, L"40,40,37,13", a);
             AddImage(top, L"56,18,20,40", L"img:file=img\\solid.png|type=2");
         }},
        {"under a round parent and in a three-slice",
         [](UIControl* top, const wchar_t* a, const wchar_t*) {
             UIControl* round =
                 AddSwatch(top, L"round", L"4,4,40,30", 0xFF2040A0, {{L"rgn", L"8"}});
             AddImage(round, L"0,0,24,20", a);
             AddImage(top, L"20,36,60,20", L"img:file=img\\alpha.png|type=1");
         }},
    };
    for (const auto& c : cases) {
        TestHost host(kW, kH);
        c.build(host.get(), alpha, solid);
        host->Invalidate(nullptr);
        host.Paint();
        const std::unique_ptr<BackBuffer> want = Reference(host.get());
        EXPECT_TRUE(Same(host->GetBackBuffer(), *want)) << c.what;
        // Bands and single pixels repainted over what is there.
        const RECT areas[] = {{21, 0, 23, kH}, {0, 25, kW, 26}, {30, 30, 31, 31}};
        for (const RECT& area : areas) {
            host->Invalidate(&area);
            host.Paint();
            EXPECT_TRUE(Same(host->GetBackBuffer(), *want))
                << c.what << ", band " << area.left << "," << area.top;
        }
    }
}

// A progress bar advancing report by report, its track and bar stretched or
// sliced anew for each width, repaints exactly what GDI+ paints.
TEST_F(ImageBlendTest, ProgressReportsGiveTheGdiplusPixels) {
    for (const wchar_t* type : {L"0", L"4"}) {
        TestHost host(kW, kH);
        AddSwatch(host.get(), L"fill", L"0,0,80,60", 0xFF305070);
        auto* bar = MakeControl<UIProgress>(host.get(), {{L"pos", L"4,30,70,16"},
                                                         {L"prob", L"img\\solid.png"},
                                                         {L"prof", L"img\\alpha.png"},
                                                         {L"drawtype", type}});
        for (int value : {0, 10, 37, 38, 38, 90, 100, 40}) {
            bar->SetValue(value);
            host.Paint();
            const std::unique_ptr<BackBuffer> want = Reference(host.get());
            EXPECT_TRUE(Same(host->GetBackBuffer(), *want))
                << "type " << type << ", value " << value;
        }
    }
}

// The buffer's own blend, for callers with partly transparent pixels:
// premultiplied source over, rounded, cut to the buffer.
TEST(BackBufferBlend, SourceOverCutToTheBuffer) {
    const struct {
        uint32_t dst, src, want;
    } cases[] = {
        {0x00000000, 0x80402010, 0x80402010},  // over nothing: the source
        {0xFF0000FF, 0x00000000, 0xFF0000FF},  // clear: the target stays
        {0xFF0000FF, 0xFF112233, 0xFF112233},  // opaque: the source
        {0xFF0000FF, 0x80400000, 0xFF40007F},  // half over opaque blue
        {0x80000080, 0x80008000, 0xC0008040},  // half over half
    };
    for (const auto& c : cases) {
        BackBuffer buffer;
        ASSERT_TRUE(buffer.Resize(3, 2));
        const RECT all = {0, 0, 3, 2};
        std::vector<uint32_t> fill(6, c.dst);
        buffer.BlendOver(all, fill.data(), 3, c.dst >> 24 == 0xFF);
        // A 2 x 2 source whose left column falls off the buffer's left edge.
        const uint32_t src[] = {0xDEADBEEF, c.src, 0xDEADBEEF, c.src};
        buffer.BlendOver(RECT{-1, 0, 1, 2}, src, 2, false);
        EXPECT_EQ(buffer.Pixel(0, 0), c.want) << std::hex << c.src << " over " << c.dst;
        EXPECT_EQ(buffer.Pixel(0, 1), c.want) << std::hex << c.src << " over " << c.dst;
        EXPECT_EQ(buffer.Pixel(1, 0), c.dst) << std::hex << c.src << " over " << c.dst;
    }
}

}  // namespace
