// The scroll bar: thumb geometry, position clamping, dragging and the pill
// it paints.
#include <gtest/gtest.h>

#include "ScrollingTestSupport.h"
#include "ui/controls/UIScrollBar.h"

namespace {

constexpr uint32_t kNormal = 0xB494A1AF, kHover = 0xD294A1AF, kPressed = 0xFF94A1AF;

class ScrollBarTest : public ::testing::Test {
  protected:
    FakeHost host;
    UIRefPtr<RecordingParent> parent = UIRefPtr<RecordingParent>::Adopt(new RecordingParent());

    // A bar at (90, 0) of its parent.
    UIScrollBar* Make(int w, int h, int total, int page, bool horizontal = false) {
        parent->SetPos(0, 0, 300, 300);
        parent->SetHost(&host);
        UIScrollBar* bar = MakeControl<UIScrollBar>(parent.get());
        bar->SetPos(90, 0, w, h);
        bar->SetHorizontal(horizontal);
        bar->SetTotal(total);
        bar->SetPage(page);
        return bar;
    }
    static void Send(UIScrollBar* bar, UINT msg, int localX, int localY) {
        bar->SendMessage(msg, 0, Point(localX + 90, localY));
    }
};

TEST_F(ScrollBarTest, ThumbGeometry) {
    const struct {
        int w, h;
        bool horizontal;
        int total, page, pos;
        bool thumb;
        RECT rect;
    } cases[] = {
        {8, 200, false, 100, 100, 0, false, {}},
        {8, 200, false, 50, 100, 0, false, {}},
        {8, 200, false, 0, -5, 0, false, {}},  // no content: no thumb, no division
        {8, 200, false, 1000, 100, 0, true, {0, 0, 8, 32}},
        {8, 200, false, 1000, 100, 900, true, {0, 168, 8, 200}},
        {8, 200, false, 400, 100, 100, true, {0, 50, 8, 100}},
        {8, 200, false, 400, 100, 300, true, {0, 150, 8, 200}},
        {200, 8, true, 400, 100, 300, true, {150, 0, 200, 8}},
        {200, 8, true, 1000, 100, 450, true, {90, 0, 122, 8}},
    };
    for (const auto& c : cases) {
        UIScrollBar* bar = Make(c.w, c.h, c.total, c.page, c.horizontal);
        bar->SetScrollPos(c.pos);
        RECT r = {};
        EXPECT_EQ(bar->GetThumbRect(r), c.thumb) << c.total << "/" << c.page << " at " << c.pos;
        if (!c.thumb) continue;
        EXPECT_TRUE(::EqualRect(&r, &c.rect))
            << c.total << "/" << c.page << " at " << c.pos << ": " << r.left << "," << r.top << ","
            << r.right << "," << r.bottom;
    }
}

TEST_F(ScrollBarTest, SetScrollPosClampsAndReportsChanges) {
    const struct {
        int total, page;
        std::vector<int> sets;
        std::vector<int> positions;
        std::vector<RecordedEvent> events;
    } cases[] = {
        {400,
         100,
         {50, 50, 1000, -5, 300},
         {50, 50, 300, 0, 300},
         {{"scollposchanged", 50},
          {"scollposchanged", 300},
          {"scollposchanged", 0},
          {"scollposchanged", 300}}},
        // Everything fits: the position stays 0.
        {100, 200, {10, -10}, {0, 0}, {}},
    };
    for (const auto& c : cases) {
        UIScrollBar* bar = Make(8, 200, c.total, c.page);
        EventLog log(bar);
        for (size_t i = 0; i < c.sets.size(); ++i) {
            bar->SetScrollPos(c.sets[i]);
            EXPECT_EQ(bar->GetScrollPos(), c.positions[i]) << "set " << c.sets[i];
        }
        EXPECT_EQ(log.events, c.events);
    }
}

TEST_F(ScrollBarTest, DraggingTheThumb) {
    enum Kind { kMove, kDown, kUp, kLost };
    struct Step {
        Kind kind;
        int y;
        int position;
        std::vector<RecordedEvent> events;
        bool dragging;
    };
    // Track 200, total 400, page 100: the thumb is 50 long; a pixel of
    // thumb travel is two of content.
    const struct {
        const char* name;
        int start;
        std::vector<Step> steps;
    } cases[] = {
        {"drag down and back",
         0,
         {{kDown, 10, 0, {}, true},
          {kMove, 60, 100, {{"scollposchanged", 100}}, true},
          {kMove, 60, 100, {}, true},
          {kMove, 1000, 300, {{"scollposchanged", 300}}, true},
          {kMove, 5, 0, {{"scollposchanged", 0}}, true},
          {kMove, 35, 50, {{"scollposchanged", 50}}, true},
          {kUp, 35, 50, {{"scollposchanged", 50}, {"scollendtrack", 50}}, false}}},
        {"press on the track does nothing",
         0,
         {{kDown, 150, 0, {}, false}, {kMove, 180, 0, {}, false}, {kUp, 180, 0, {}, false}}},
        {"capture lost ends the drag",
         100,
         {{kDown, 60, 100, {}, true},
          {kLost, 60, 100, {}, false},
          {kMove, 150, 100, {}, false},
          {kUp, 150, 100, {}, false}}},
    };
    for (const auto& c : cases) {
        UIScrollBar* bar = Make(8, 200, 400, 100);
        bar->SetScrollPos(c.start);
        EventLog log(bar);
        host.captured = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            const UINT msgs[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED};
            log.events.clear();
            parent->invalidated.clear();
            if (step.kind == kLost) host.captured = 0;
            Send(bar, msgs[step.kind], 4, step.y);
            const std::string where = std::string(c.name) + " step " + std::to_string(i);
            EXPECT_EQ(bar->GetScrollPos(), step.position) << where;
            EXPECT_EQ(log.events, step.events) << where;
            EXPECT_EQ(bar->IsDragging(), step.dragging) << where;
            if (step.kind == kDown) {
                EXPECT_EQ(host.captured == bar->Handle(), step.dragging) << where;
            }
            if (step.kind == kUp) {
                EXPECT_EQ(host.captured, 0u) << where;
            }
            if (!step.events.empty()) {
                EXPECT_FALSE(parent->invalidated.empty()) << where;
            }
        }
    }
}

TEST_F(ScrollBarTest, PaintsAPillInTheColourOfItsState) {
    const struct {
        const char* name;
        void (*prepare)(UIScrollBar*);
        uint32_t colour;
    } cases[] = {
        {"normal", [](UIScrollBar*) {}, kNormal},
        {"hover", [](UIScrollBar* b) { Send(b, WM_MOUSEMOVE, 4, 20); }, kHover},
        {"hover left",
         [](UIScrollBar* b) { Send(b, WM_MOUSEMOVE, 4, 20), b->SendMessage(WM_MOUSELEAVE, 0, 0); },
         kNormal},
        {"pressed",
         [](UIScrollBar* b) {
             Send(b, WM_LBUTTONDOWN, 4, 20);
             b->SendMessage(WM_MOUSEHOVER, 0, 0);  // the host's hover while captured
         },
         kPressed},
    };
    for (const auto& c : cases) {
        UIScrollBar* bar = Make(8, 200, 400, 100);  // thumb (0, 0, 8, 50)
        c.prepare(bar);
        Canvas canvas(8, 200);
        bar->Paint(canvas.G());
        EXPECT_TRUE(Near(canvas.At(4, 25), c.colour))
            << c.name << " got " << std::hex << canvas.At(4, 25);
        EXPECT_TRUE(Near(canvas.At(2, 40), c.colour)) << c.name;
        // Round ends: the corners stay (nearly) clear; no track is drawn.
        EXPECT_LT(canvas.At(0, 0) >> 24, 0x60u) << c.name;
        EXPECT_LT(canvas.At(7, 49) >> 24, 0x60u) << c.name;
        EXPECT_EQ(canvas.At(4, 51), 0u) << c.name;
        EXPECT_EQ(canvas.At(4, 199), 0u) << c.name;
    }
}

}  // namespace
