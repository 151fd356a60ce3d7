// Skin files and the image cache over a package made in memory.
#include <gtest/gtest.h>

#include "TestSkin.h"
#include "ui/SkinBitmap.h"

namespace {

// A 4 x 2 PNG, opaque red.
const uint8_t kRedPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x7f,
    0xa8, 0x7d, 0x63, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8,
    0xcf, 0xc0, 0xf0, 0x1f, 0x19, 0x33, 0xa0, 0x0b, 0x00, 0x00, 0x0f, 0x21, 0x0f, 0xf1, 0x04,
    0x37, 0xc6, 0x9f, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::vector<uint8_t> RedPng() {
    return std::vector<uint8_t>(std::begin(kRedPng), std::end(kRedPng));
}

std::vector<uint8_t> CorruptPng() {
    std::vector<uint8_t> png = RedPng();
    png.resize(30);  // the header survives, the data is gone
    return png;
}

// The colour at (x, y) after drawing image over a transparent canvas.
Gdiplus::ARGB DrawnPixel(Gdiplus::Image* image, int x, int y) {
    Gdiplus::Bitmap canvas(8, 8, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&canvas);
        g.Clear(Gdiplus::Color(0, 0, 0, 0));
        g.DrawImage(image, 0, 0, 8, 8);
    }
    Gdiplus::Color c;
    canvas.GetPixel(x, y, &c);
    return c.GetValue();
}

class ResourceManagerTest : public ::testing::Test {
  protected:
    TestSkin skin{{
        {u"img\\red.png", RedPng()},
        {u"img\\broken.png", CorruptPng()},
        {u"img\\empty.png", {}},
        {u"img\\Upper.png", RedPng()},
        {u"xml\\doc.xml", Bytes(std::string("<a>\0b</a>", 9))},
        {u"xml\\zero.xml", {}},
    }};
    UIResoureMgr& mgr = skin.Manager();
};

TEST_F(ResourceManagerTest, FileData) {
    const struct {
        const wchar_t* name;
        std::string expected;
    } cases[] = {
        {L"xml\\doc.xml", std::string("<a>\0b</a>", 9)},  // bytes as stored
        {L"XML\\DOC.XML", std::string("<a>\0b</a>", 9)},  // the request is lowered
        {L"xml/doc.xml", ""},                             // separators as written
        {L" xml\\doc.xml", ""},
        {L"xml\\zero.xml", ""},  // zero length: like a miss
        {L"xml\\missing.xml", ""},
        {L"img\\Upper.png", ""},  // stored upper case: never found
        {L"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(mgr.GetFileData(c.name), c.expected) << c.name;
}

TEST_F(ResourceManagerTest, ImagesAreCachedUnderLowerCaseNames) {
    SkinBitmap* lower = mgr.GetImage(L"img\\red.png");
    ASSERT_NE(lower, nullptr);
    EXPECT_TRUE(lower->IsDecoded());
    EXPECT_EQ(lower->GetWidth(), 4u);
    EXPECT_EQ(lower->GetHeight(), 2u);
    EXPECT_EQ(mgr.GetImage(L"IMG\\RED.PNG"), lower);
    EXPECT_EQ(mgr.GetImage(L"Img\\Red.png"), lower);
    EXPECT_EQ(mgr.CachedImageCount(), 1u);
    EXPECT_EQ(DrawnPixel(lower, 3, 3), 0xFFFF0000u);
}

TEST_F(ResourceManagerTest, MissingImagesAreNotCached) {
    for (const wchar_t* name :
         {L"img\\none.png", L"img\\none.png", L"img/red.png", L"img\\Upper.png"}) {
        EXPECT_EQ(mgr.GetImage(name), nullptr) << name;
    }
    EXPECT_EQ(mgr.CachedImageCount(), 0u);
}

TEST_F(ResourceManagerTest, CorruptImagesAreCachedAndDrawNothing) {
    for (const wchar_t* name : {L"img\\broken.png", L"img\\empty.png"}) {
        SkinBitmap* broken = mgr.GetImage(name);
        ASSERT_NE(broken, nullptr) << name;
        EXPECT_FALSE(broken->IsDecoded());
        EXPECT_EQ(mgr.GetImage(name), broken);  // decoded once
        EXPECT_EQ(DrawnPixel(broken, 3, 3), 0u);
    }
    EXPECT_EQ(mgr.CachedImageCount(), 2u);
}

TEST(DecodeImage, ImageOutlivesTheSourceBytes) {
    EnsureGdiplus();
    std::vector<uint8_t> png = RedPng();
    SkinBitmap* image = DecodeImage(png.data(), png.size());
    ASSERT_NE(image, nullptr);
    std::fill(png.begin(), png.end(), 0);  // the image reads its own copy
    EXPECT_EQ(DrawnPixel(image, 0, 0), 0xFFFF0000u);
    delete image;
}

TEST(ResLoader, ProcessLoaderIsReplaceable) {
    EnsureGdiplus();
    UIResLoader* before = GetResLoader();
    {
        TestSkin skin({{u"xml\\a.xml", Bytes("x")}});
        EXPECT_EQ(GetResLoader(), &skin.Manager());
        EXPECT_EQ(GetResLoader()->GetFileData(L"xml\\a.xml"), "x");
    }
    EXPECT_EQ(GetResLoader(), before);
}

}  // namespace
