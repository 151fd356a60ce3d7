// The animation control: frame lists from "gif" patterns and their bounds,
// the advance rule on a controlled clock, painting, and starting and
// stopping on a real window.
#include <gtest/gtest.h>

#include "MoreControlsTestSupport.h"
#include "ui/ControlTimer.h"
#include "ui/controls/UIGif.h"

namespace {

// An animation whose clock the test sets.
class ClockedGif : public UIGif {
  public:
    DWORD now = 1000;

  protected:
    DWORD Now() override { return now; }
};

std::vector<std::wstring> FramesOf(std::initializer_list<const wchar_t*> values) {
    UIRefPtr<UIGif> gif = UIRefPtr<UIGif>::Adopt(new UIGif());
    for (const wchar_t* v : values) gif->SetAttribute(L"gif", v);
    return gif->GetFrames();
}

TEST(GifTest, FramePatternsGiveNamedFrames) {
    using Names = std::vector<std::wstring>;
    const std::wstring longName(256, L'x');
    const struct {
        std::initializer_list<const wchar_t*> values;
        Names frames;
    } cases[] = {
        {{L"1|3|img\\w%d.png"}, {L"img\\w1.png", L"img\\w2.png", L"img\\w3.png"}},
        {{L"3|1|img\\w%d.png"}, {}},  // an empty range
        {{L"5|5|f%d"}, {L"f5"}},
        {{L"8|10|f%02d.png"}, {L"f08.png", L"f09.png", L"f10.png"}},
        {{L"-1|0|f%d"}, {L"f-1", L"f0"}},
        {{L"1|2|100%%_%d"}, {L"100%_1", L"100%_2"}},
        {{L"1|2|a%d", L"7|7|b%d"}, {L"a1", L"a2", L"b7"}},  // values accumulate
        {{L"1|3"}, {}},                                     // not three parts
        {{L"1|3|x%d|y"}, {}},                               //
        {{L"1|3|plain.png"}, {}},                           // no conversion
        {{L"1|3|%d%d"}, {}},                                // two conversions
        {{L"1|3|%s"}, {}},                                  // not a number conversion
        {{L"1|3|%n"}, {}},                                  //
        {{L"1|3|%d%"}, {}},                                 // a lone "%"
        {{L"1|3|%123d"}, {}},                               // width of more than one digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FramesOf(c.values), c.frames) << std::wstring(*c.values.begin()).size();
    }
}

TEST(GifTest, FrameListsAreBounded) {
    const std::wstring name257 = std::wstring(257, L'n') + L"%d";  // 258 characters with a digit
    const std::wstring name258 = std::wstring(258, L'n') + L"%d";  // 259 and 260 at 1 and 10
    const std::wstring name259 = std::wstring(259, L'n') + L"%d";  // 261 at 10
    const struct {
        std::wstring value;
        size_t frames;
    } cases[] = {
        {L"1|1024|f%d", 1024},
        {L"1|1025|f%d", 0},  // more than the list may ever hold: refused whole
        {L"-2147483648|2147483647|f%d", 0},
        {L"2147483647|2147483647|f%d", 1},  // the last number does not wrap
        {L"1|9|" + name258, 9},
        {L"9|10|" + name258, 2},  // 259 and 260 characters
        {L"9|10|" + name259, 0},  // the second name would be 261 long
        {L"1|1|" + name257, 1},
    };
    for (const auto& c : cases) {
        UIRefPtr<UIGif> gif = UIRefPtr<UIGif>::Adopt(new UIGif());
        gif->SetAttribute(L"gif", c.value);
        EXPECT_EQ(gif->GetFrames().size(), c.frames) << c.value.substr(0, 30).size();
    }
    // Together the values of one control stay within the bound too.
    UIRefPtr<UIGif> gif = UIRefPtr<UIGif>::Adopt(new UIGif());
    gif->SetAttribute(L"gif", L"1|1000|f%d");
    gif->SetAttribute(L"gif", L"1|25|g%d");
    EXPECT_EQ(gif->GetFrames().size(), 1000u);
    gif->SetAttribute(L"gif", L"1|24|g%d");
    EXPECT_EQ(gif->GetFrames().size(), 1024u);
    for (int i = 0; i < 3; ++i) gif->SetAttribute(L"gif", L"1|1|h%d");
    EXPECT_EQ(gif->GetFrames().size(), 1024u);
}

TEST(GifTest, ItsAttributesAreNotKept) {
    TestWindow window;
    auto* gif = window.Add<UIGif>(
        {{L"id", L"anim"}, {L"gif", L"1|2|f%d"}, {L"autoshowhide", L"true"}, {L"fresh", L"1"}});
    for (const wchar_t* name : {L"gif", L"autoshowhide", L"fresh", L"startgif", L"stopgif"}) {
        EXPECT_EQ(gif->GetAttribute(name), L"");
    }
    EXPECT_EQ(gif->GetAttribute(L"id"), L"anim");
    EXPECT_TRUE(gif->IsAutoShowHide());
    gif->SetAttribute(L"autoshowhide", L"1");  // only "true" turns it on
    EXPECT_FALSE(gif->IsAutoShowHide());
}

// Steps of the advance rule: (clock, what happens, expected frame after).
TEST(GifTest, AdvancesOnlyWhenDueAndVisibleAndResumesWhereItStopped) {
    enum Step { kTimer, kFresh, kHide, kShow, kPaint };
    const struct {
        DWORD now;
        Step step;
        int frame;
    } steps[] = {
        {1000, kPaint, 0},  // the time of the first frame
        {1030, kTimer, 0},  // 30 ms after the last advance: not yet due
        {1031, kTimer, 1},  //
        {1050, kFresh, 1},  //
        {1062, kFresh, 2},  //
        {1100, kHide, 2},   //
        {1500, kTimer, 2},  // hidden: no advance however long
        {1600, kFresh, 2},  //
        {1700, kShow, 2},   //
        {1701, kTimer, 0},  // continues from where it stopped, wrapping
        {1720, kPaint, 0},  // painting resets the time
        {1740, kTimer, 0},  //
        {1751, kTimer, 1},  //
    };
    TestWindow window;
    auto* gif = window.Add<ClockedGif>({{L"pos", L"0,0,20,20"}, {L"gif", L"1|3|f%d"}});
    Canvas canvas(20, 20);
    for (const auto& s : steps) {
        gif->now = s.now;
        switch (s.step) {
            case kTimer:
                gif->SendMessage(WM_TIMER, UIGif::kTimerNumber, 0);
                break;
            case kFresh:
                gif->SetAttribute(L"fresh", L"");
                break;
            case kHide:
                gif->SetVisible(false, 0);
                break;
            case kShow:
                gif->SetVisible(true, 0);
                break;
            case kPaint:
                gif->Paint(canvas.G());
                break;
        }
        EXPECT_EQ(gif->GetCurrentFrame(), s.frame) << s.now;
    }
}

TEST(GifTest, PaintsTheCurrentFrameCentredAtItsOwnSize) {
    const uint32_t colours[] = {0xFFE02020, 0xFF20E020, 0xFF2020E0};
    TestSkin skin({{u"img\\w1.png", SolidImage(6, 4, colours[0])},
                   {u"img\\w2.png", SolidImage(6, 4, colours[1])},
                   {u"img\\w3.png", SolidImage(6, 4, colours[2])}});
    TestWindow window;
    auto* gif = window.Add<ClockedGif>({{L"pos", L"0,0,20,10"}, {L"gif", L"1|3|img\\w%d.png"}});
    for (int frame = 0; frame < 4; ++frame) {
        Canvas canvas(20, 10);
        PaintAlone(gif, canvas);
        const uint32_t expected = colours[frame % 3];
        EXPECT_EQ(canvas.At(7, 3), expected) << frame;  // the image spans 7..12 x 3..6
        EXPECT_EQ(canvas.At(12, 6), expected) << frame;
        EXPECT_EQ(canvas.At(6, 3), 0u) << frame;
        EXPECT_EQ(canvas.At(13, 6), 0u) << frame;
        EXPECT_EQ(canvas.At(7, 2), 0u) << frame;
        EXPECT_EQ(canvas.At(7, 7), 0u) << frame;
        gif->now += 31;
        gif->SetAttribute(L"fresh", L"");
    }
    // A frame whose image is missing, and an empty list, paint nothing.
    gif->SetAttribute(L"gif", L"4|4|img\\w%d.png");
    for (int i = 0; i < 2; ++i) {
        gif->now += 31;
        gif->SetAttribute(L"fresh", L"");
    }
    ASSERT_EQ(gif->GetCurrentFrame(), 3);
    auto* none = window.Add<ClockedGif>({{L"pos", L"0,0,20,10"}});
    for (UIGif* g : {static_cast<UIGif*>(gif), static_cast<UIGif*>(none)}) {
        Canvas canvas(20, 10);
        PaintAlone(g, canvas);
        EXPECT_EQ(FindInk(canvas).count, 0);
    }
}

// On a real window the timer drives the frames; with auto show/hide the
// control appears on start and disappears on stop.
TEST(GifTest, StartAndStopOnAWindow) {
    TestSkin skin({{u"img\\s1.png", SolidImage(4, 4, 0xFF000000)}});
    TestHost host(200, 100);
    auto* gif = MakeControl<UIGif>(host.get(), {{L"pos", L"10,10,20,20"},
                                                {L"gif", L"1|2|img\\s%d.png"},
                                                {L"autoshowhide", L"true"},
                                                {L"visible", L"false"}});
    gif->SetAttribute(L"startgif", L"");
    EXPECT_TRUE(gif->IsVisibleBit());
    const int first = gif->GetCurrentFrame();
    EXPECT_TRUE(PumpUntil([&] { return gif->GetCurrentFrame() != first; }));
    gif->SetAttribute(L"stopgif", L"");
    EXPECT_FALSE(gif->IsVisibleBit());
    // The timer is gone: killing it again finds nothing.
    EXPECT_FALSE(::KillTimer(host.hwnd(), ControlTimerId(UIGif::kTimerNumber, gif->Handle())));
    // Without auto show/hide the visibility stays as it is.
    gif->SetAttribute(L"autoshowhide", L"false");
    gif->SetAttribute(L"startgif", L"");
    EXPECT_FALSE(gif->IsVisibleBit());
    gif->SetVisible(true, 0);
    gif->SetAttribute(L"stopgif", L"");
    EXPECT_TRUE(gif->IsVisibleBit());
}

}  // namespace
