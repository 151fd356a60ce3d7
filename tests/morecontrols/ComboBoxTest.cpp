// The combo box: its attributes, its look by state, and its drop-down list
// in a window of its own, driven through real host windows.
#include <gtest/gtest.h>

#include "MoreControlsTestSupport.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIComboBoxItem.h"
#include "ui/controls/UIComboListWidget.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

constexpr uint32_t kPanel = 0xFFF0F0F0;  // the list's background image
constexpr uint32_t kArrowColours[4] = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0};

// Back strip: four frames of 20 x 20; arrow strip: four frames of 10 x 6.
TestSkin& Skin() {
    static TestSkin skin({
        {u"img\\cb_bg.png", SolidImage(12, 12, kPanel)},
        {u"img\\box.png", HorizontalStrip(80, 20, 20)},
        {u"img\\arrow.png",
         MakeBmp(40, 6, [](int x, int) { return kArrowColours[std::min(x / 10, 3)]; })},
    });
    return skin;
}

std::wstring Joined(int n) {
    std::wstring data;
    for (int i = 0; i < n; ++i) data += (i ? L"|item" : L"item") + std::to_wstring(i);
    return data;
}

// ---- Attributes and sizes ------------------------------------------------------

TEST(ComboBoxTest, ListSizeFollowsItemsAndListWidth) {
    struct Case {
        int items;
        const wchar_t* listWidth;
        int height, width;
    } cases[] = {
        {0, L"0", 34, 120},      // an empty list is one row high
        {1, L"0", 34, 120},      //
        {3, L"50", 90, 120},     // 3 x 28 + 6; never narrower than the box
        {8, L"0", 230, 120},     //
        {12, L"300", 230, 300},  // eight rows shown, the rest scroll
    };
    for (const Case& c : cases) {
        TestWindow window;
        auto* box = window.Add<UIComboBox>({{L"pos", L"0,0,120,24"}, {L"listwidth", c.listWidth}});
        if (c.items) box->SetAttribute(L"data", Joined(c.items));
        EXPECT_EQ(box->GetListHeight(), c.height) << c.items;
        EXPECT_EQ(box->GetListWidth(), c.width) << c.items;
    }
}

TEST(ComboBoxTest, DataAccumulatesAndSelectsTheFirstItem) {
    TestWindow window;
    auto* box = window.Add<UIComboBox>({{L"pos", L"0,0,120,24"}});
    EXPECT_EQ(box->GetSelection(), -1);
    box->SetAttribute(L"data", L"");  // no text adds no item
    box->SetAttribute(L"data", L"中文|English|日本語");
    box->SetAttribute(L"data", L"Deutsch");
    EXPECT_EQ(box->GetItems(),
              (std::vector<std::wstring>{L"中文", L"English", L"日本語", L"Deutsch"}));
    EXPECT_EQ(box->GetSelection(), 0);
    EXPECT_EQ(box->GetText(), L"中文");
    // "data" is passed on to the control (the last value); the looks and the
    // list width are kept by the box alone.
    EXPECT_EQ(box->GetAttribute(L"data"), L"Deutsch");
    box->SetAttribute(L"listwidth", L"200");
    box->SetAttribute(L"back", L"img\\box.png");
    box->SetAttribute(L"thumb", L"img\\arrow.png");
    EXPECT_EQ(box->GetAttribute(L"listwidth"), L"");
    EXPECT_EQ(box->GetAttribute(L"back"), L"");
    EXPECT_EQ(box->GetAttribute(L"thumb"), L"");
    EXPECT_EQ(box->GetBack(), nullptr);
}

TEST(ComboBoxTest, ClickDropIsTrueOnlyForTrueAndOne) {
    const struct {
        const wchar_t* value;
        bool expected;
    } cases[] = {{L"true", true}, {L"1", true}, {L"TRUE", false}, {L"yes", false}, {L"0", false}};
    for (const auto& c : cases) {
        TestWindow window;
        auto* box = window.Add<UIComboBox>({{L"clickdrop", c.value}});
        EXPECT_EQ(box->IsClickDrop(), c.expected)
            << std::string(c.value, c.value + wcslen(c.value));
        EXPECT_EQ(box->GetAttribute(L"clickdrop"), c.value);
    }
}

// The back frame shows the box's state, the arrow frame the arrow zone's.
TEST(ComboBoxTest, PaintsBackAndArrowFramesByState) {
    Skin();
    enum Action { kNone, kHoverText, kHoverArrow, kPressArrow, kDisable };
    const struct {
        Action action;
        int backFrame, arrowFrame;
    } cases[] = {
        {kNone, 0, 0},       {kHoverText, 1, 0}, {kHoverArrow, 1, 1},
        {kPressArrow, 0, 2}, {kDisable, 3, 3},
    };
    for (const auto& c : cases) {
        TestWindow window;
        auto* box = window.Add<UIComboBox>(
            {{L"pos", L"0,0,120,20"}, {L"back", L"img\\box.png"}, {L"thumb", L"img\\arrow.png"}});
        if (c.action == kHoverText || c.action == kHoverArrow) {
            Hover(box);
            box->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.action == kHoverArrow ? 112 : 30, 10));
        } else if (c.action == kPressArrow) {
            Down(box, 112, 10);
        } else if (c.action == kDisable) {
            box->SetEnabled(false, 0);
        }
        Canvas canvas(120, 20);
        PaintAlone(box, canvas);
        // Between the text and the arrow, above the arrow: the back only.
        EXPECT_EQ(canvas.At(100, 2) >> 16 & 0xFF, 40u + 50u * c.backFrame) << c.action;
        // The arrow: its own size at the right edge, centred vertically.
        EXPECT_EQ(canvas.At(115, 10), kArrowColours[c.arrowFrame]) << c.action;
        EXPECT_EQ(canvas.At(109, 10) >> 16 & 0xFF, 40u + 50u * c.backFrame) << c.action;
        EXPECT_EQ(canvas.At(115, 6) >> 16 & 0xFF, 40u + 50u * c.backFrame) << c.action;
        EXPECT_EQ(canvas.At(115, 13) >> 16 & 0xFF, 40u + 50u * c.backFrame) << c.action;
        EXPECT_EQ(canvas.At(115, 7), kArrowColours[c.arrowFrame]) << c.action;
        EXPECT_EQ(canvas.At(115, 12), kArrowColours[c.arrowFrame]) << c.action;
    }
}

// ---- The drop-down list in real windows ----------------------------------------

class ComboHostTest : public ::testing::Test {
  protected:
    void SetUp() override { Skin(); }

    // A window at (x, y) with a background and a box at (20, 20, 150, 24).
    UIComboBox* Make(int x, int y, const std::wstring& data, Attrs extra = {}) {
        host_ = std::make_unique<TestHost>(300, 200, x, y);
        AddSwatch(host_->get(), L"bg", L"0,0,300,200", 0xFF808080);
        box_ =
            MakeControl<UIComboBox>(host_->get(), {{L"id", L"combo"}, {L"pos", L"20,20,150,24"}});
        for (const auto& kv : extra) box_->SetAttribute(kv.first, kv.second);
        box_->SetAttribute(L"data", data);
        log_.Listen(box_);
        return box_;
    }
    void Click(int x, int y) {
        host_->Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        host_->Mouse(WM_LBUTTONUP, x, y);
    }
    void Open() { Click(60, 30); }
    HWND PopupWindow() {
        UIComboListWidget* popup = box_->GetPopup();
        return popup ? popup->GetNativeWindow() : nullptr;
    }
    bool IsOpen() {
        HWND hwnd = PopupWindow();
        return hwnd && ::IsWindowVisible(hwnd);
    }
    RECT PopupRect() {
        RECT rc = {0, 0, 0, 0};
        ::GetWindowRect(PopupWindow(), &rc);
        return rc;
    }
    std::vector<UIControl*> Rows() {
        return box_->GetPopup()->GetListView()->GetContent()->Children();
    }
    // Clicks a row of the open list at its middle, in the list's window.
    void ClickRow(int index) {
        RECT rc;
        Rows()[static_cast<size_t>(index)]->GetHostRect(rc);
        const LPARAM at = MAKELPARAM(rc.left + 30, (rc.top + rc.bottom) / 2);
        ::SendMessageW(PopupWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(PopupWindow(), WM_LBUTTONUP, 0, at);
    }

    std::unique_ptr<TestHost> host_;
    UIComboBox* box_ = nullptr;
    EventLog log_;
};

TEST_F(ComboHostTest, OpensBelowTheBoxWithOneRowPerItem) {
    Make(100, 100, L"alpha|beta|gamma");
    Open();
    ASSERT_TRUE(IsOpen());
    RECT box;
    box_->GetScreenRect(box);
    const RECT rc = PopupRect();
    EXPECT_EQ(rc.left, box.left);
    EXPECT_EQ(rc.top, box.bottom);
    EXPECT_EQ(rc.right - rc.left, 150);
    EXPECT_EQ(rc.bottom - rc.top, 90);
    EXPECT_EQ(::GetWindow(PopupWindow(), GW_OWNER), host_->hwnd());
    EXPECT_EQ(::GetFocus(), PopupWindow());
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    const wchar_t* texts[] = {L"alpha", L"beta", L"gamma"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i]->GetText(), texts[i]);
        EXPECT_EQ(PosText(rows[i]), "0," + std::to_string(28 * i) + ",142,28");
    }
    EXPECT_FALSE(box_->GetPopup()->GetListView()->GetScrollBar()->IsVisibleBit());
    // Row 0 is the selection, row 1 an odd line, row 2 shows the background.
    ::UpdateWindow(PopupWindow());
    const BackBuffer& pixels = box_->GetPopup()->GetBackBuffer();
    EXPECT_EQ(pixels.Pixel(140, 3 + 14), 0xFFBBDCFDu);
    EXPECT_EQ(pixels.Pixel(140, 3 + 28 + 14), 0xFFFCFDFFu);
    EXPECT_EQ(pixels.Pixel(140, 3 + 56 + 14), kPanel);
    EXPECT_EQ(pixels.Pixel(1, 1), kPanel);
}

// Without its background image the list would be see-through, and clicks
// on its unpainted pixels would fall through the layered window.
TEST_F(ComboHostTest, WithoutItsBackgroundImageTheListIsAnOpaquePanel) {
    TestSkin bare({});
    Make(100, 100, L"alpha|beta|gamma");
    Open();
    ASSERT_TRUE(IsOpen());
    ::UpdateWindow(PopupWindow());
    const BackBuffer& pixels = box_->GetPopup()->GetBackBuffer();
    EXPECT_EQ(pixels.Pixel(0, 0), 0xFFB4BCC6u);     // the border
    EXPECT_EQ(pixels.Pixel(149, 89), 0xFFB4BCC6u);  //
    EXPECT_EQ(pixels.Pixel(140, 3 + 56 + 14), 0xFFFFFFFFu);
}

TEST_F(ComboHostTest, OpensUpwardsNearTheBottomOfTheWorkArea) {
    RECT work;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    Make(100, work.bottom - 60, L"alpha|beta|gamma");  // the box ends 16 above the bottom
    Open();
    ASSERT_TRUE(IsOpen());
    RECT box;
    box_->GetScreenRect(box);
    const RECT rc = PopupRect();
    EXPECT_EQ(rc.top, box.top - 90);
    EXPECT_EQ(rc.bottom, box.top);
}

TEST_F(ComboHostTest, TwelveItemsScrollAndTheSelectionIsScrolledIntoView) {
    Make(100, 100, Joined(12));
    Open();
    ASSERT_TRUE(IsOpen());
    EXPECT_EQ(PopupRect().bottom - PopupRect().top, 230);
    UIScrollBar* bar = box_->GetPopup()->GetListView()->GetScrollBar();
    EXPECT_TRUE(bar->IsVisibleBit());
    EXPECT_EQ(bar->GetTotal(), 12 * 28);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    bar->SetScrollPos(12 * 28);  // to the end, where the last row can be clicked
    ClickRow(11);
    EXPECT_EQ(box_->GetSelection(), 11);
    Open();
    const int pos = bar->GetScrollPos(), page = bar->GetPage();
    EXPECT_GT(pos, 0);
    EXPECT_EQ(pos, std::min(11 * 28 - page / 2, 12 * 28 - page));
    const int top = Rows()[11]->GetPos().top;
    EXPECT_GE(top - pos, 0);
    EXPECT_LE(top + 28 - pos, page);
}

TEST_F(ComboHostTest, PickingAnotherItemRaisesTheEventOnce) {
    const struct {
        int row;
        const char* events;
        const wchar_t* text;
    } cases[] = {
        {0, "", L"alpha"},  // the selected item again: nothing
        {2, "combo:comboselectchanged:0", L"gamma"},
    };
    for (const auto& c : cases) {
        Make(100, 100, L"alpha|beta|gamma");
        Open();
        ASSERT_TRUE(IsOpen());
        ClickRow(c.row);
        EXPECT_FALSE(IsOpen()) << c.row;
        EXPECT_EQ(log_.Text(), c.events) << c.row;
        EXPECT_EQ(box_->GetText(), c.text) << c.row;
        log_.entries.clear();
    }
}

TEST_F(ComboHostTest, EscapeAndFocusLossCloseWithoutChange) {
    for (bool escape : {true, false}) {
        Make(100, 100, L"alpha|beta|gamma");
        Open();
        ASSERT_TRUE(IsOpen());
        if (escape) {
            ::SendMessageW(PopupWindow(), WM_CHAR, 27, 0);
        } else {
            ::SetFocus(host_->hwnd());
        }
        EXPECT_FALSE(IsOpen()) << escape;
        EXPECT_EQ(box_->GetSelection(), 0);
        EXPECT_EQ(box_->GetText(), L"alpha");
        EXPECT_EQ(log_.Text(), "");
    }
}

TEST_F(ComboHostTest, WithoutClickDropOnlyAPressInTheArrowZoneOpens) {
    enum Where { kText = 40, kArrow = 160 };  // window x of the box's text and arrow zone
    const struct {
        const wchar_t* clickDrop;
        int down, up;
        bool opens;
    } cases[] = {
        {L"true", kText, kText, true},    {L"false", kText, kText, false},
        {L"false", kArrow, kArrow, true}, {L"false", kText, kArrow, false},
        {L"false", kArrow, kText, true},  {L"true", kArrow, kArrow, true},
    };
    for (const auto& c : cases) {
        Make(100, 100, L"alpha|beta", {{L"clickdrop", c.clickDrop}});
        host_->Mouse(WM_MOUSEMOVE, c.down, 30);
        host_->Mouse(WM_LBUTTONDOWN, c.down, 30, MK_LBUTTON);
        EXPECT_EQ(box_->IsArrowPressed(), c.down == kArrow);
        host_->Mouse(WM_LBUTTONUP, c.up, 30);
        EXPECT_EQ(IsOpen(), c.opens) << c.down << "," << c.up;
        EXPECT_FALSE(box_->IsArrowPressed());
    }
}

TEST_F(ComboHostTest, OnePopupServesEveryDropDown) {
    Make(100, 100, L"alpha|beta|gamma");
    Open();
    UIComboListWidget* popup = box_->GetPopup();
    HWND hwnd = PopupWindow();
    const uint32_t firstRow = Rows()[0]->Handle();
    ::SendMessageW(hwnd, WM_CHAR, 27, 0);
    Open();
    EXPECT_TRUE(IsOpen());
    EXPECT_EQ(box_->GetPopup(), popup);
    EXPECT_EQ(PopupWindow(), hwnd);
    EXPECT_NE(Rows()[0]->Handle(), firstRow);  // the rows are made afresh
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(ComboHostTest, DestroyingTheBoxEndsItsList) {
    Make(100, 100, L"alpha|beta");
    Open();
    HWND hwnd = PopupWindow();
    ASSERT_TRUE(::IsWindow(hwnd));
    box_->Detach();
    EXPECT_FALSE(::IsWindow(hwnd));
}

// Real mouse input through the system's input queue.
TEST_F(ComboHostTest, RealClicksOpenTheListAndPickAnItem) {
    Make(150, 150, L"alpha|beta|gamma");
    ::SetForegroundWindow(host_->hwnd());
    PumpPending();
    const POINT box = ScreenPointIn(box_, 40, 12);
    RealClick(box.x, box.y);
    ASSERT_TRUE(PumpUntil([this] { return IsOpen(); }));
    ASSERT_EQ(Rows().size(), 3u);
    const POINT row = ScreenPointIn(Rows()[1], 30, 14);
    RealClick(row.x, row.y);
    ASSERT_TRUE(PumpUntil([this] { return box_->GetSelection() == 1; }));
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(box_->GetText(), L"beta");
    EXPECT_EQ(log_.Text(), "combo:comboselectchanged:0");
}

}  // namespace
