// The progress bar: how far it fills for a value, with and without skin
// images, and which columns a new value repaints.
#include <gtest/gtest.h>

#include <algorithm>

#include "ScrollingTestSupport.h"
#include "ui/controls/UIProgress.h"

namespace {

constexpr uint32_t kTrack = 0xFFEEEEEE, kBar = 0xFF2BA245;
constexpr int kW = 610, kH = 20;

// Every column of the bar image has its own colour.
uint32_t BarColumn(int x) { return 0xFF000000u | uint32_t(x & 0xFF) << 16 | (x >> 8) << 8 | 0x40; }

class ProgressTest : public ::testing::Test {
  protected:
    TestSkin skin{{{u"img\\track.bmp", MakeBmp(30, kH, [](int, int) { return kBlue; })},
                   {u"img\\bar.bmp", MakeBmp(700, kH, [](int x, int) { return BarColumn(x); })},
                   {u"img\\short.bmp", MakeBmp(100, kH, [](int x, int) { return BarColumn(x); })}}};
    UIRefPtr<RecordingParent> parent = UIRefPtr<RecordingParent>::Adopt(new RecordingParent());

    UIProgress* Make(Attrs attrs) {
        UIProgress* p = MakeControl<UIProgress>(parent.get(), {{L"pos", L"0,0,610,20"}});
        for (const auto& kv : attrs) p->SetAttribute(kv.first, kv.second);
        return p;
    }
    // Row 10 of a paint on a canvas wider and taller than the control.
    static std::vector<uint32_t> PaintRow(UIProgress* p) {
        Canvas canvas(700, kH + 4);
        canvas.UseNearestPixels();
        p->Paint(canvas.G());
        std::vector<uint32_t> row;
        for (int x = 0; x < canvas.Width(); ++x) row.push_back(canvas.At(x, 10));
        for (int x = 0; x < canvas.Width(); ++x) {
            EXPECT_EQ(canvas.At(x, kH + 1), 0u) << "painted below the control at " << x;
        }
        return row;
    }
};

TEST_F(ProgressTest, FillsItsShareOfTheWidthWithinTheControl) {
    const struct {
        const wchar_t* value;
        int fill;
    } cases[] = {
        {L"50", 305},  {L"0", 0},  {L"1", 6},   {L"100", 610},        {L"101", 610},
        {L"150", 610}, {L"-5", 0}, {L"abc", 0}, {L"2147483647", 610},
    };
    for (const auto& c : cases) {
        UIProgress* p = Make({{L"value", c.value}});
        EXPECT_EQ(p->FillWidth(), c.fill) << c.value;
        EXPECT_EQ(p->GetAttribute(L"value"), c.value);
        const std::vector<uint32_t> row = PaintRow(p);
        for (int x = 0; x < int(row.size()); ++x) {
            const uint32_t want = x < c.fill ? kBar : x < kW ? kTrack : 0;
            ASSERT_EQ(row[x], want) << c.value << " at column " << x;
        }
    }
}

TEST_F(ProgressTest, SkinImagesCutOrSliceTheBar) {
    const struct {
        const char* name;
        Attrs attrs;
        int fill;
        // Expected colour per column: image column, the track, or nothing.
        std::vector<std::pair<int, uint32_t>> probes;
    } cases[] = {
        // "drawtype" 0: the track stretched, the bar cut to the fill.
        {"cut",
         {{L"prob", L"img\\track.bmp"},
          {L"prof", L"img\\bar.bmp"},
          {L"drawtype", L"0"},
          {L"value", L"50"}},
         305,
         {{0, BarColumn(0)},
          {150, BarColumn(150)},
          {304, BarColumn(304)},
          {305, kBlue},
          {609, kBlue},
          {610, 0}}},
        // The default whole-image three-slice keeps the image's ends at the
        // ends of the fill.
        {"sliced",
         {{L"prob", L"img\\track.bmp"}, {L"prof", L"img\\bar.bmp"}, {L"value", L"50"}},
         305,
         {{0, BarColumn(0)}, {304, BarColumn(699)}, {305, kBlue}, {609, kBlue}, {610, 0}}},
        // A track image without a bar image: the bar is the green fill.
        {"track image only",
         {{L"prob", L"img\\track.bmp"}, {L"value", L"10"}},
         61,
         {{0, kBar}, {60, kBar}, {61, kBlue}, {610, 0}}},
        // A missing bar image draws no bar at all.
        {"missing bar image",
         {{L"prof", L"img\\none.bmp"}, {L"value", L"60"}},
         366,
         {{0, kTrack}, {365, kTrack}, {610, 0}}},
    };
    for (const auto& c : cases) {
        UIProgress* p = Make(c.attrs);
        EXPECT_EQ(p->FillWidth(), c.fill) << c.name;
        const std::vector<uint32_t> row = PaintRow(p);
        for (const auto& probe : c.probes) {
            EXPECT_EQ(row[probe.first], probe.second) << c.name << " at column " << probe.first
                                                      << " got " << std::hex << row[probe.first];
        }
    }
}

// A new value repaints only what changes: every pixel that differs between
// the paints before and after lies in the invalidated band, and the band is
// no wider than the change needs.
TEST_F(ProgressTest, NewValueInvalidatesOnlyTheChangedColumns) {
    const struct {
        const char* name;
        Attrs attrs;
        const wchar_t* from;
        const wchar_t* to;
        RECT band;  // empty: nothing invalidated
    } cases[] = {
        {"solid from empty", {}, L"0", L"50", {0, 0, 306, kH}},
        {"solid one step", {}, L"50", L"51", {304, 0, 312, kH}},
        {"solid back", {}, L"51", L"50", {304, 0, 312, kH}},
        {"solid same value", {}, L"51", L"51", {0, 0, 0, 0}},
        {"solid past the end", {}, L"100", L"150", {0, 0, 0, 0}},
        {"solid to the end", {}, L"90", L"101", {548, 0, kW, kH}},
        {"cut image",
         {{L"prof", L"img\\bar.bmp"}, {L"drawtype", L"0"}},
         L"50",
         L"60",
         {304, 0, 367, kH}},
        // An image sliced into the fill, or stretched because it is narrower
        // than the fill, changes everywhere in the fill.
        {"sliced image", {{L"prof", L"img\\bar.bmp"}}, L"50", L"60", {0, 0, 367, kH}},
        {"short image",
         {{L"prof", L"img\\short.bmp"}, {L"drawtype", L"0"}},
         L"50",
         L"60",
         {0, 0, 367, kH}},
    };
    for (const auto& c : cases) {
        UIProgress* p = Make(c.attrs);
        p->SetAttribute(L"value", c.from);
        // The window's back buffer: the old look, then only the invalidated
        // area repainted, must equal a full paint of the new look.
        Canvas buffer(kW, kH), fresh(kW, kH);
        p->Paint(buffer.G());
        parent->invalidated.clear();
        p->SetAttribute(L"value", c.to);
        p->Paint(fresh.G());
        if (::IsRectEmpty(&c.band)) {
            EXPECT_TRUE(parent->invalidated.empty()) << c.name;
        } else {
            ASSERT_EQ(parent->invalidated.size(), 1u) << c.name;
            const RECT got = parent->invalidated[0];
            EXPECT_TRUE(::EqualRect(&got, &c.band))
                << c.name << ": " << got.left << ".." << got.right << " wanted " << c.band.left
                << ".." << c.band.right;
            buffer.G().SetClip(
                Gdiplus::Rect(got.left, got.top, got.right - got.left, got.bottom - got.top));
            p->Paint(buffer.G());
        }
        int differing = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) differing += buffer.At(x, y) != fresh.At(x, y);
        }
        EXPECT_EQ(differing, 0) << c.name;
    }
}

TEST_F(ProgressTest, ImageAttributesAreKeptInTheAttributeMap) {
    UIProgress* p =
        Make({{L"prob", L"img\\track.bmp"}, {L"drawtype", L"0"}, {L"id", L"setupprog"}});
    EXPECT_EQ(p->GetAttribute(L"prob"), L"img\\track.bmp");
    EXPECT_EQ(p->GetAttribute(L"drawtype"), L"0");
    EXPECT_EQ(p->GetId(), L"setupprog");
}

}  // namespace
