// The scrolling views: the vertical view's parts and their layout, the
// scroll bar that appears when the content does not fit, scrolling by the
// bar and the wheel, and the plain scroll view.
#include <gtest/gtest.h>

#include "ScrollingTestSupport.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/controls/UIScrollView.h"

namespace {

const wchar_t* const kItemColours[] = {L"clr:clr=#ffff0000", L"clr:clr=#ff00ff00",
                                       L"clr:clr=#ff0000ff", L"clr:clr=#ffffff00",
                                       L"clr:clr=#ff00ffff", L"clr:clr=#ffff00ff"};
const uint32_t kItemArgb[] = {kRed, kGreen, kBlue, kYellow, kCyan, kMagenta};

class ScrollViewTest : public ::testing::Test {
  protected:
    FakeHost host;
    UIRefPtr<RecordingParent> parent = UIRefPtr<RecordingParent>::Adopt(new RecordingParent());

    // A 100 x 62 view (a 60-pixel list area) with `items` rows 20 high.
    UIScrollVertView* Make(int items, Attrs attrs = {}) {
        parent->SetHost(&host);
        auto* view = MakeControl<UIScrollVertView>(parent.get(), attrs);
        for (int i = 0; i < items; ++i) AddItem(view, i);
        view->SetAttribute(L"pos", L"0,0,100,62");
        view->Layout();
        return view;
    }
    static UIControl* AddItem(UIScrollVertView* view, int i) {
        return MakeControl(view->GetContent(),
                           {{L"height", L"20"}, {L"width", L"10"}, {L"back", kItemColours[i % 6]}});
    }
};

TEST_F(ScrollViewTest, PartsAndLayout) {
    const struct {
        const char* name;
        int items;
        Attrs attrs;
        bool bar;
        const char* clip;
        const char* content;
        const char* barPos;
        int total, page;
    } cases[] = {
        {"fits", 2, {}, false, "1,1,98,60", "1,0,96,40", nullptr, 40, 60},
        {"exactly fits", 3, {}, false, "1,1,98,60", "1,0,96,60", nullptr, 60, 60},
        {"overflows", 5, {}, true, "1,1,98,60", "1,0,96,100", "89,0,8,62", 100, 60},
        {"wider bar",
         5,
         {{L"hscrollwidth", L"12"}},
         true,
         "1,1,98,60",
         "1,0,96,100",
         "85,0,12,62",
         100,
         60},
        {"empty", 0, {}, false, "1,1,98,60", "1,0,96,0", nullptr, 0, 60},
    };
    for (const auto& c : cases) {
        UIScrollVertView* view = Make(c.items, c.attrs);
        UIScrollBar* bar = view->GetScrollBar();
        EXPECT_EQ(view->GetClip()->GetParent(), view) << c.name;
        EXPECT_EQ(view->GetContent()->GetParent(), view->GetClip()) << c.name;
        EXPECT_EQ(bar->GetParent(), view) << c.name;
        EXPECT_EQ(PosText(view->GetClip()), c.clip) << c.name;
        EXPECT_EQ(PosText(view->GetContent()), c.content) << c.name;
        EXPECT_EQ(bar->IsVisibleBit(), c.bar) << c.name;
        EXPECT_EQ(bar->GetTotal(), c.total) << c.name;
        EXPECT_EQ(bar->GetPage(), c.page) << c.name;
        if (c.barPos) {
            EXPECT_EQ(PosText(bar), c.barPos) << c.name;
        }
        // The content stacks its rows over its whole width.
        for (size_t i = 0; i < view->GetContent()->Children().size(); ++i) {
            EXPECT_EQ(PosText(view->GetContent()->Children()[i]),
                      "0," + std::to_string(20 * i) + ",96,20")
                << c.name << " row " << i;
        }
    }
}

TEST_F(ScrollViewTest, BarWidthIsNotAnAttributeOfTheBase) {
    UIScrollVertView* view = Make(0, {{L"hscrollwidth", L"12"}, {L"id", L"list"}});
    EXPECT_EQ(view->GetBarWidth(), 12);
    EXPECT_EQ(view->GetAttribute(L"hscrollwidth"), L"");
    EXPECT_EQ(view->GetAttribute(L"id"), L"list");
}

TEST_F(ScrollViewTest, HeaderStaysAboveTheList) {
    const struct {
        const char* name;
        const wchar_t* visible;
        const char* clip;
        int page;
    } cases[] = {
        {"visible header", L"true", "1,21,98,39", 39},
        {"hidden header", L"false", "1,1,98,60", 60},
    };
    for (const auto& c : cases) {
        parent->SetHost(&host);
        auto* view = MakeControl<UIScrollVertView>(parent.get());
        for (int i = 0; i < 5; ++i) AddItem(view, i);
        UIControl* header = MakeControl(
            view, {{L"id", L"header"}, {L"pos", L"5,5,50,20"}, {L"visible", c.visible}});
        view->SetAttribute(L"pos", L"0,0,100,62");
        view->Layout();
        EXPECT_EQ(view->Children().front(), header) << c.name;
        EXPECT_EQ(PosText(view->GetClip()), c.clip) << c.name;
        EXPECT_EQ(view->GetScrollBar()->GetPage(), c.page) << c.name;
        if (header->IsVisibleBit()) {
            EXPECT_EQ(PosText(header), "1,1,98,20") << c.name;
        }
    }
}

TEST_F(ScrollViewTest, RowsAreOffsetByTheScrollPositionAndClipped) {
    UIScrollVertView* view = Make(5);
    EventLog log(view->GetScrollBar());
    view->GetScrollBar()->SetScrollPos(30);
    EXPECT_EQ(PosText(view->GetContent()), "1,-30,96,100");
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0], (RecordedEvent{"scollposchanged", 30}));

    Canvas canvas(100, 62);
    PaintTree(view, canvas.G());
    // The list area is rows 1..60; row r of the content is at view y 1 + r - 30.
    const struct {
        int y;
        uint32_t colour;
    } probes[] = {
        {0, 0},
        {1, kItemArgb[1]},
        {10, kItemArgb[1]},
        {11, kItemArgb[2]},
        {30, kItemArgb[2]},
        {31, kItemArgb[3]},
        {50, kItemArgb[3]},
        {51, kItemArgb[4]},
        {60, kItemArgb[4]},
        {61, 0},
    };
    for (const auto& p : probes) {
        EXPECT_EQ(canvas.At(20, p.y), p.colour)
            << "row " << p.y << " got " << std::hex << canvas.At(20, p.y);
    }
    EXPECT_EQ(canvas.At(0, 20), 0u) << "left of the clip";
    EXPECT_EQ(canvas.At(98, 20), 0u) << "right of the content";
}

TEST_F(ScrollViewTest, WheelScrollsUntilAnEndThenGoesToTheParent) {
    const struct {
        const char* name;
        int items;
        std::vector<int> deltas;
        std::vector<int> positions;
        std::vector<int> forwarded;  // deltas that reached the parent
    } cases[] = {
        {"down to the end and up again",
         5,
         {-120, -120, -120, 120, 120, 120},
         {30, 40, 40, 10, 0, 0},
         {-120, 120}},
        {"zero delta counts as down", 5, {0, 0}, {30, 40}, {}},
        {"everything fits", 2, {-120, 120}, {0, 0}, {-120, 120}},
    };
    for (const auto& c : cases) {
        parent->wheelDeltas.clear();
        UIScrollVertView* view = Make(c.items);
        for (size_t i = 0; i < c.deltas.size(); ++i) {
            view->SendMessage(WM_MOUSEWHEEL, WheelDelta(c.deltas[i]), Point(50, 30));
            EXPECT_EQ(view->GetScrollBar()->GetScrollPos(), c.positions[i])
                << c.name << " step " << i;
            EXPECT_EQ(view->GetContent()->GetPos().top, -c.positions[i]) << c.name << " step " << i;
        }
        EXPECT_EQ(parent->wheelDeltas, c.forwarded) << c.name;
    }
}

TEST_F(ScrollViewTest, WheelOverARowScrollsTheView) {
    UIScrollVertView* view = Make(5);
    UIControl* row = view->GetContent()->Children()[1];
    row->SendMessage(WM_MOUSEWHEEL, WheelDelta(-120), Point(50, 30));
    EXPECT_EQ(view->GetScrollBar()->GetScrollPos(), 30);
    EXPECT_TRUE(parent->wheelDeltas.empty());
}

TEST_F(ScrollViewTest, DraggingTheBarScrollsTheContent) {
    UIScrollVertView* view = Make(5);
    UIScrollBar* bar = view->GetScrollBar();  // at (89, 0) 8 x 62; thumb 37 long
    bar->SendMessage(WM_LBUTTONDOWN, 0, Point(92, 5));
    bar->SendMessage(WM_MOUSEMOVE, 0, Point(92, 17));  // 12 pixels: 12 * 100 / 62
    EXPECT_EQ(bar->GetScrollPos(), 19);
    EXPECT_EQ(PosText(view->GetContent()), "1,-19,96,100");
    bar->SendMessage(WM_LBUTTONUP, 0, Point(92, 17));
    EXPECT_FALSE(bar->IsDragging());
}

TEST_F(ScrollViewTest, RelayoutClampsThePositionAndHidesTheBar) {
    UIScrollVertView* view = Make(5);
    view->GetScrollBar()->SetScrollPos(40);
    // Two rows fewer: 60 of content in a 60-pixel list.
    view->GetContent()->Children()[3]->SetAttribute(L"visible", L"false");
    view->GetContent()->Children()[4]->SetAttribute(L"visible", L"false");
    EventLog log(view->GetScrollBar());
    view->Layout();
    EXPECT_EQ(view->GetScrollBar()->GetScrollPos(), 0);
    EXPECT_FALSE(view->GetScrollBar()->IsVisibleBit());
    EXPECT_EQ(PosText(view->GetContent()), "1,0,96,60");
    EXPECT_TRUE(log.events.empty());
    // Content grows again: the bar comes back.
    view->GetContent()->Children()[3]->SetAttribute(L"visible", L"true");
    view->Layout();
    EXPECT_TRUE(view->GetScrollBar()->IsVisibleBit());
}

TEST_F(ScrollViewTest, ViewOutlivedByItsBarIsNotCalled) {
    UIRefPtr<UIScrollBar> bar;
    {
        UIRefPtr<UIScrollVertView> view = UIRefPtr<UIScrollVertView>::Adopt(new UIScrollVertView());
        bar = UIRefPtr<UIScrollBar>(view->GetScrollBar());
    }
    bar->SetTotal(100);
    bar->SetPage(10);
    bar->SetScrollPos(50);  // would reach the destroyed view's listener
    EXPECT_EQ(bar->GetScrollPos(), 50);
}

TEST_F(ScrollViewTest, PlainScrollViewArrangesLikeAnyControl) {
    auto* view =
        MakeControl<UIScrollView>(parent.get(), {{L"layout", L"vert"}, {L"pos", L"0,0,50,100"}});
    UIControl* a = MakeControl(view, {{L"height", L"30"}});
    UIControl* b = MakeControl(view, {{L"adj", L"1"}});
    view->Layout();
    EXPECT_EQ(PosText(a), "0,0,50,30");
    EXPECT_EQ(PosText(b), "0,30,50,70");
}

}  // namespace
