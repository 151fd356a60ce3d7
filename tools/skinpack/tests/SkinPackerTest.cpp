#include "TestTree.h"
#include "package/PackageFormat.h"
#include "tools/skinpack/SkinPacker.h"

class SkinPackerTest : public ScratchTest {};

TEST_F(SkinPackerTest, NamesAreLowerCaseWithBackslashesInOrderAndDataContiguous) {
    Put("skin/XML/Main.xml", "<UIWnd/>");
    Put("skin/img/BtnB.png", "png-bytes");
    Put("skin/img/sub/empty.png", "");
    Put("skin/img/a.png", "A");
    SkinPacker packer;
    std::string error;
    ASSERT_TRUE(packer.Scan(dir_ / "skin", error)) << error;
    ASSERT_TRUE(packer.Write(dir_ / "skin.pak", error)) << error;
    EXPECT_TRUE(packer.warnings().empty());

    const std::vector<uint8_t> bytes = ReadBytes(dir_ / "skin.pak");
    const PackageContents contents = ReadPackage(bytes.data(), bytes.size());
    EXPECT_EQ(contents.declaredCount, 4);
    EXPECT_FALSE(contents.truncatedHeaders);
    const struct {
        std::u16string name;
        std::string data;
    } expected[] = {{u"img\\a.png", "A"},
                    {u"img\\btnb.png", "png-bytes"},
                    {u"img\\sub\\empty.png", ""},
                    {u"xml\\main.xml", "<UIWnd/>"}};
    ASSERT_EQ(contents.entries.size(), 4u);
    uint32_t next = contents.entries[0].offset;
    for (size_t i = 0; i < 4; ++i) {
        const PackageEntry& e = contents.entries[i];
        EXPECT_EQ(e.name, expected[i].name);
        EXPECT_EQ(e.offset, next);
        EXPECT_EQ(std::string(bytes.begin() + e.offset, bytes.begin() + e.offset + e.size),
                  expected[i].data);
        next = e.offset + e.size;
    }
    EXPECT_EQ(next, bytes.size());
}

TEST_F(SkinPackerTest, NamesEqualOnceLoweredAreRefused) {
    Put("skin/img/Logo.png", "1");
    Put("skin/img/logo.png", "2");
    SkinPacker packer;
    std::string error;
    EXPECT_FALSE(packer.Scan(dir_ / "skin", error));
    EXPECT_NE(error.find("same name in lower case"), std::string::npos) << error;
}

TEST_F(SkinPackerTest, EmptyFolderGivesAnEmptyPackageAndStrayFilesAWarning) {
    Folder("empty");
    SkinPacker packer;
    std::string error;
    ASSERT_TRUE(packer.Scan(dir_ / "empty", error)) << error;
    ASSERT_TRUE(packer.Write(dir_ / "empty.pak", error)) << error;
    EXPECT_EQ(ReadBytes(dir_ / "empty.pak"), (std::vector<uint8_t>{0, 0, 0, 0}));

    Put("skin/notes.txt", "n");
    ASSERT_TRUE(packer.Scan(dir_ / "skin", error)) << error;
    ASSERT_EQ(packer.warnings().size(), 1u);
    EXPECT_NE(packer.warnings()[0].find("neither under xml/ nor under img/"), std::string::npos);
}
