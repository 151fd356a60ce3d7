// The slider: where its thumb is, how it paints each state, and how presses,
// drags and releases move it and raise its events.
#include <gtest/gtest.h>

#include "ScrollingTestSupport.h"
#include "ui/controls/UISlider.h"

namespace {

// Thumb strip frames: normal red, hover green, dragging blue, disabled yellow.
uint32_t Frame(int x, int) {
    const uint32_t colours[] = {kRed, kGreen, kBlue, kYellow};
    return colours[std::min(x / 20, 3)];
}

class SliderTest : public ::testing::Test {
  protected:
    TestSkin skin{{{u"img\\thumb.bmp", MakeBmp(80, 10, Frame)},
                   {u"img\\wide.bmp", MakeBmp(120, 10, Frame)},
                   {u"img\\bg.bmp", MakeBmp(10, 6, [](int, int) { return kCyan; })},
                   {u"img\\fg.bmp", MakeBmp(10, 4, [](int, int) { return kMagenta; })}}};
    FakeHost host;
    // The slider sits at (10, 5) in its parent, so mouse points (in host
    // coordinates) are 10 and 5 off its own.
    UIRefPtr<UIControl> root =
        UIRefPtr<UIControl>::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,300,100"}}));

    UISlider* Make(Attrs attrs) {
        root->SetHost(&host);
        UISlider* s = MakeControl<UISlider>(root.get(), {{L"pos", L"10,5,200,30"}});
        for (const auto& kv : attrs) s->SetAttribute(kv.first, kv.second);
        return s;
    }
    static int Send(UISlider* s, UINT msg, int localX = 0, int localY = 15) {
        return s->SendMessage(msg, 0, Point(localX + 10, localY + 5));
    }
};

TEST_F(SliderTest, ThumbStaysInsideTheTrack) {
    const struct {
        const wchar_t* thumb;  // nullptr: no thumb image
        int width, position;
        int left, right;
    } cases[] = {
        {L"img\\thumb.bmp", 200, 100, 180, 200},
        {L"img\\thumb.bmp", 200, 0, 0, 20},
        {L"img\\thumb.bmp", 200, 50, 90, 110},
        {L"img\\thumb.bmp", 200, 3, 0, 20},
        {L"img\\wide.bmp", 200, 50, 85, 115},
        {nullptr, 200, 50, 90, 110},
        {nullptr, 200, 97, 180, 200},
        {L"img\\missing.bmp", 100, 40, 30, 50},
    };
    for (const auto& c : cases) {
        UISlider* s = Make({});
        if (c.thumb) s->SetAttribute(L"thumb", c.thumb);
        s->SetAttribute(L"width", std::to_wstring(c.width));
        s->SetPosition(c.position);
        const RECT r = s->GetThumbRect();
        EXPECT_EQ(r.left, c.left) << c.width << " at " << c.position;
        EXPECT_EQ(r.right, c.right) << c.width << " at " << c.position;
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.bottom, 30);
    }
}

TEST_F(SliderTest, PaintsTrackFillAndTheThumbFrameOfItsState) {
    // Position 50 of 200: the thumb covers 90..110 and rows 10..20; the
    // track rows 12..18, the filled part rows 13..17 up to column 100.
    const struct {
        const char* name;
        void (*prepare)(UISlider*);
        uint32_t thumb;
    } cases[] = {
        {"normal", [](UISlider*) {}, kRed},
        {"hover", [](UISlider* s) { Send(s, WM_MOUSEMOVE, 100); }, kGreen},
        {"dragging", [](UISlider* s) { Send(s, WM_LBUTTONDOWN, 100); }, kBlue},
        {"disabled", [](UISlider* s) { s->SetAttribute(L"enable", L"false"); }, kYellow},
    };
    for (const auto& c : cases) {
        UISlider* s = Make({{L"thumb", L"img\\thumb.bmp"},
                            {L"sliderbg", L"img\\bg.bmp"},
                            {L"sliderfg", L"img\\fg.bmp"}});
        s->SetPosition(50);
        c.prepare(s);
        Canvas canvas(200, 30);
        canvas.UseNearestPixels();
        s->Paint(canvas.G());
        const struct {
            int x, y;
            uint32_t colour;
        } probes[] = {
            {90, 10, c.thumb}, {109, 19, c.thumb}, {100, 15, c.thumb}, {89, 15, kMagenta},
            {0, 13, kMagenta}, {0, 12, kCyan},     {0, 17, kCyan},     {0, 16, kMagenta},
            {150, 15, kCyan},  {199, 12, kCyan},   {150, 11, 0},       {150, 18, 0},
            {90, 9, 0},        {110, 15, kCyan},
        };
        for (const auto& p : probes) {
            EXPECT_EQ(canvas.At(p.x, p.y), p.colour) << c.name << " at " << p.x << "," << p.y
                                                     << " got " << std::hex << canvas.At(p.x, p.y);
        }
    }
}

TEST_F(SliderTest, MouseSequences) {
    enum Kind { kMove, kDown, kUp, kLost, kLeave };
    struct Step {
        Kind kind;
        int x;  // local
        int position;
        std::vector<const char*> events;  // raised by this step
        bool dragging, captured, hover;
    };
    const struct {
        const char* name;
        int start;
        std::vector<Step> steps;
    } cases[] = {
        {"press on the track jumps",
         0,
         {{kDown, 50, 25, {"sliderposchanged"}, false, false, false},
          {kUp, 50, 25, {}, false, false, false}}},
        {"drag from the thumb",
         0,
         {{kMove, 10, 0, {}, false, false, true},
          {kDown, 10, 0, {}, true, true, true},
          {kMove, 30, 10, {"sliderposchanged"}, true, true, false},
          {kMove, 30, 10, {"sliderposchanged"}, true, true, false},
          {kMove, 500, 100, {"sliderposchanged"}, true, true, false},
          {kMove, -300, 0, {"sliderposchanged"}, true, true, false},
          {kMove, 110, 50, {"sliderposchanged"}, true, true, false},
          {kUp, 110, 50, {"sliderendtrack"}, false, false, false}}},
        {"capture lost ends the drag",
         50,
         {{kDown, 100, 50, {}, true, true, false},
          {kLost, 0, 50, {}, false, false, false},
          {kMove, 150, 50, {}, false, false, false},
          {kUp, 150, 50, {}, false, false, false}}},
        {"leave drops the hover",
         100,
         {{kMove, 190, 100, {}, false, false, true}, {kLeave, 0, 100, {}, false, false, false}}},
    };
    for (const auto& c : cases) {
        UISlider* s = Make({{L"thumb", L"img\\thumb.bmp"}});
        s->SetPosition(c.start);
        EventLog log(s);
        host.captured = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            log.events.clear();
            const UINT msgs[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED,
                                 WM_MOUSELEAVE};
            if (step.kind == kLost) host.captured = 0;
            Send(s, msgs[step.kind], step.x);
            const std::string where = std::string(c.name) + " step " + std::to_string(i);
            EXPECT_EQ(s->GetPosition(), step.position) << where;
            std::vector<RecordedEvent> want;
            for (const char* e : step.events) want.push_back({e, 0});
            EXPECT_EQ(log.events, want) << where;
            EXPECT_EQ(s->IsDragging(), step.dragging) << where;
            EXPECT_EQ(host.captured == s->Handle(), step.captured) << where;
            EXPECT_EQ(s->IsThumbHover(), step.hover) << where;
        }
    }
}

TEST_F(SliderTest, EventsReachTheWindow) {
    UISlider* s = Make({{L"id", L"volume"}});
    host.notified.clear();
    Send(s, WM_LBUTTONDOWN, 150);
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].name, "sliderposchanged");
    EXPECT_EQ(host.notified[0].sender, s);
    EXPECT_EQ(s->GetPosition(), 75);
}

}  // namespace
