#include <unistd.h>
#include <sys/stat.h>

#include "TestTree.h"
#include "package/PackageFormat.h"
#include "tools/skinpack/PayloadTree.h"

namespace {

std::vector<std::string> Names(const PayloadTree& tree) {
    std::vector<std::string> names;
    for (const PayloadItem& item : tree.items())
        names.push_back(Utf16ToUtf8(item.name) + (item.folder ? " D" : ""));
    return names;
}

}  // namespace

class PayloadTreeTest : public ScratchTest {};

TEST_F(PayloadTreeTest, FoldersComeFirstThenEmptyFilesThenFilesByExtension) {
    Put("app/b.txt", "b");
    Put("app/a.dll", "a");
    Put("app/sub/c.txt", "c");
    Put("app/empty.dat", "");
    Folder("app/emptydir");
    Put("z.dll", "z");
    PayloadTree tree;
    std::string error;
    ASSERT_TRUE(tree.Scan(dir_, error)) << error;
    EXPECT_EQ(Names(tree),
              (std::vector<std::string>{"app D", "app/emptydir D", "app/sub D", "app/empty.dat",
                                        "app/a.dll", "z.dll", "app/b.txt", "app/sub/c.txt"}));
}

TEST_F(PayloadTreeTest, TopLevelArchitectureFoldersBecomePrefixes) {
    Put("r_x86/bin/tool.dll", "32");
    Put("r_x64/bin/tool.dll", "64");
    Put("r_x64/setup.ini", "i");
    Put("lib/r_x86/keep.txt", "k");  // only the top level selects
    Folder("r_x86/r_x64");
    PayloadTree tree;
    std::string error;
    ASSERT_TRUE(tree.Scan(dir_, error)) << error;
    EXPECT_EQ(Names(tree), (std::vector<std::string>{"lib D", "lib/r_x86 D", "r_x64//bin D",
                                                     "r_x86//bin D", "r_x86//r_x64 D",
                                                     "lib/r_x86/keep.txt", "r_x64//bin/tool.dll",
                                                     "r_x86//bin/tool.dll", "r_x64//setup.ini"}));
}

// Where a common file and an architecture's own file land on the same path,
// the architecture's is written last and wins.
TEST_F(PayloadTreeTest, ArchitectureFilesFollowCommonOnes) {
    Put("zzz/tool.dll", "common");
    Put("r_x64/zzz/tool.dll", "");
    Put("r_x86/zzz/tool.dll", "32");
    Put("aaa.txt", "");
    PayloadTree tree;
    std::string error;
    ASSERT_TRUE(tree.Scan(dir_, error)) << error;
    EXPECT_EQ(Names(tree), (std::vector<std::string>{
                               "r_x64//zzz D", "r_x86//zzz D", "zzz D", "aaa.txt", "zzz/tool.dll",
                               "r_x64//zzz/tool.dll", "r_x86//zzz/tool.dll"}));
}

TEST_F(PayloadTreeTest, UnicodeNamesAreStoredAsUtf16) {
    Put("donn\xC3\xA9"
        "es/\xE6\x97\xA5\xE6\x9C\xAC.txt",
        "x");
    PayloadTree tree;
    std::string error;
    ASSERT_TRUE(tree.Scan(dir_, error)) << error;
    ASSERT_EQ(tree.items().size(), 2u);
    EXPECT_EQ(tree.items()[1].name, u"donn\u00E9es/\u65E5\u672C.txt");
}

TEST_F(PayloadTreeTest, RefusesWhatWindowsCannotHold) {
    const struct {
        std::vector<std::string> files;
        std::string expected;
    } cases[] = {
        {{"a:b.txt"}, "holds one of"},
        {{"back\\slash.txt"}, "holds one of"},
        {{"what?.txt"}, "holds one of"},
        {{"trailing."}, "ends with a dot"},
        {{"dir /x.txt"}, "ends with a dot or a space"},
        {{"CON"}, "reserved device name"},
        {{"sub/nul.txt"}, "reserved device name"},
        {{"com1.log"}, "reserved device name"},
        {{"tab\there"}, "control character"},
        {{"Readme.TXT", "readme.txt"}, "differ only in case"},
        {{"bad\xFF.txt"}, "not valid UTF-8"},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const std::string& f : c.files) Put(f, "x");
        PayloadTree tree;
        std::string error;
        EXPECT_FALSE(tree.Scan(dir_, error)) << c.files[0];
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.files[0] << ": " << error;
    }
}

TEST_F(PayloadTreeTest, RefusesSpecialFilesAndLinkedFolders) {
    Folder("real");
    fs::create_directory_symlink(dir_ / "real", dir_ / "link");
    PayloadTree tree;
    std::string error;
    EXPECT_FALSE(tree.Scan(dir_, error));
    EXPECT_NE(error.find("link to a folder"), std::string::npos) << error;

    fs::remove(dir_ / "link");
    ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(tree.Scan(dir_, error));
    EXPECT_NE(error.find("neither a file nor a folder"), std::string::npos) << error;
}

TEST_F(PayloadTreeTest, FollowsLinksToFilesAndAcceptsOrdinaryNames) {
    Put("data.bin", "1234");
    fs::create_symlink(dir_ / "data.bin", dir_ / "alias.bin");
    Put("console.txt", "not a device");
    PayloadTree tree;
    std::string error;
    ASSERT_TRUE(tree.Scan(dir_, error)) << error;
    ASSERT_EQ(tree.items().size(), 3u);
    EXPECT_EQ(tree.items()[0].size, 4u);
}

TEST_F(PayloadTreeTest, MissingFolderIsAnError) {
    PayloadTree tree;
    std::string error;
    EXPECT_FALSE(tree.Scan(dir_ / "absent", error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos);
}
