#include "TestTree.h"
#include "package/PackageFormat.h"
#include "package/PayloadMask.h"
#include "tools/skinpack/ArchiveInspector.h"
#include "tools/skinpack/PayloadTree.h"
#include "tools/skinpack/SevenZipWriter.h"

namespace {

const std::string kSkinpack = SKINPACK_EXE;

// Debian's 7zz is the independent peer every archive is checked against.
std::string SevenZip() {
    static const std::string path = [] {
        std::string out;
        return RunCommand("command -v 7zz", &out) == 0 ? std::string("7zz") : std::string();
    }();
    return path;
}

}  // namespace

class ArchiveTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        ASSERT_FALSE(SevenZip().empty()) << "7zz is missing: run tools/bootstrap";
    }

    // A payload with what installers meet: nested and empty folders, empty
    // files, text and noise, non-ASCII names, architecture folders.
    fs::path SampleTree() {
        Put("src/app/readme.txt", "read me\n");
        Put("src/app/bin/app.exe", MakeContent(300000, 1, false));
        Put("src/app/doc/manual.txt", MakeContent(500000, 2, true));
        Put("src/app/empty.cfg", "");
        Folder("src/app/logs");
        Put("src/donn\xC3\xA9"
            "es/\xE6\x97\xA5\xE6\x9C\xAC.txt",
            "unicode");
        Put("src/r_x86/bin/tool.dll", "tool 32");
        Put("src/r_x64/bin/tool.dll", "tool 64");
        return dir_ / "src";
    }

    bool Pack(const fs::path& source, const fs::path& out, ArchiveOptions options,
              std::string& error) {
        PayloadTree tree;
        if (!tree.Scan(source, error)) return false;
        SevenZipWriter writer(options);
        return writer.Write(tree.items(), out, error);
    }

    static ArchiveOptions Plain(uint64_t blockLimit = uint64_t{64} << 20) {
        ArchiveOptions o;
        o.mask = false;
        o.blockLimit = blockLimit;
        return o;
    }
};

TEST_F(ArchiveTest, SevenZipTestsListsAndExtractsWhatWeWrite) {
    const fs::path src = SampleTree();
    // One solid block, and many small ones (each file over the limit alone: six).
    for (uint64_t limit : {uint64_t{64} << 20, uint64_t{1}}) {
        const fs::path archive = dir_ / ("plain" + std::to_string(limit) + ".7z");
        std::string error, output;
        ASSERT_TRUE(Pack(src, archive, Plain(limit), error)) << error;
        EXPECT_EQ(RunCommand(SevenZip() + " t " + Quote(archive), &output), 0) << output;
        EXPECT_NE(output.find("Everything is Ok"), std::string::npos) << output;
        ASSERT_EQ(RunCommand(SevenZip() + " l -slt " + Quote(archive), &output), 0) << output;
        EXPECT_NE(output.find("Method = LZMA:"), std::string::npos) << output;
        EXPECT_EQ(output.find("LZMA2"), std::string::npos) << output;
        EXPECT_NE(output.find("Path = r_x64//bin/tool.dll"), std::string::npos) << output;
        EXPECT_NE(output.find(limit == 1 ? "Blocks = 6" : "Blocks = 1"), std::string::npos)
            << output;

        const fs::path out = dir_ / ("out" + std::to_string(limit));
        ASSERT_EQ(RunCommand(SevenZip() + " x -o" + Quote(out) + " " + Quote(archive), &output), 0)
            << output;
        EXPECT_EQ(Snapshot(out), Snapshot(src));  // byte-exact, empty files and folders too
    }
}

TEST_F(ArchiveTest, FoldersAreListedBeforeTheirContents) {
    const fs::path archive = dir_ / "a.7z";
    std::string error;
    ASSERT_TRUE(Pack(SampleTree(), archive, Plain(), error)) << error;
    ArchiveInspector inspector;
    ASSERT_TRUE(inspector.Open(archive, error)) << error;
    std::vector<std::u16string> folders;
    for (const ArchiveEntryInfo& e : inspector.entries()) {
        const size_t slash = e.name.rfind(u'/');
        if (slash != std::u16string::npos && e.name.compare(slash - 1, 2, u"//") != 0) {
            const std::u16string parent = e.name.substr(0, slash);
            EXPECT_NE(std::find(folders.begin(), folders.end(), parent), folders.end())
                << Utf16ToUtf8(e.name);
        }
        if (e.folder) folders.push_back(e.name);
    }
    EXPECT_TRUE(inspector.InstallProblems().empty());
    EXPECT_TRUE(inspector.Test(error)) << error;
}

TEST_F(ArchiveTest, MaskChangesOnlyTheFirstTwoBytes) {
    const fs::path src = SampleTree();
    std::string error;
    ASSERT_TRUE(Pack(src, dir_ / "plain.7z", Plain(), error)) << error;
    ArchiveOptions masked = Plain();
    masked.mask = true;
    ASSERT_TRUE(Pack(src, dir_ / "masked.pak", masked, error)) << error;
    std::vector<uint8_t> plain = ReadBytes(dir_ / "plain.7z");
    const std::vector<uint8_t> pak = ReadBytes(dir_ / "masked.pak");
    ASSERT_EQ(plain.size(), pak.size());
    EXPECT_EQ(pak[0], '7' ^ kPayloadMask);
    EXPECT_EQ(pak[1], 'z' ^ kPayloadMask);
    ApplyPayloadMask(plain.data(), plain.size());
    EXPECT_EQ(plain, pak);

    ArchiveInspector inspector;
    ASSERT_TRUE(inspector.Open(dir_ / "masked.pak", error)) << error;
    EXPECT_TRUE(inspector.masked());
    EXPECT_TRUE(inspector.Test(error)) << error;
}

TEST_F(ArchiveTest, PackingIsDeterministic) {
    const fs::path src = SampleTree();
    std::string error;
    ASSERT_TRUE(Pack(src, dir_ / "one.7z", Plain(), error)) << error;
    ASSERT_TRUE(Pack(src, dir_ / "two.7z", Plain(), error)) << error;
    EXPECT_EQ(ReadBytes(dir_ / "one.7z"), ReadBytes(dir_ / "two.7z"));
}

TEST_F(ArchiveTest, PayloadsWithoutDataAreValidArchives) {
    const struct {
        std::vector<std::string> files;
        std::vector<std::string> folders;
    } cases[] = {
        {{}, {}},                       // nothing at all
        {{}, {"a", "a/b", "c"}},        // folders only
        {{"e1", "sub/e2"}, {"empty"}},  // empty files and folders
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path src = dir_ / ("src" + std::to_string(n));
        fs::create_directories(src);
        for (const auto& f : c.files) Put("src" + std::to_string(n) + "/" + f, "");
        for (const auto& d : c.folders) Folder("src" + std::to_string(n) + "/" + d);
        const fs::path archive = dir_ / ("a" + std::to_string(n++) + ".7z");
        std::string error, output;
        ASSERT_TRUE(Pack(src, archive, Plain(), error)) << error;
        EXPECT_EQ(RunCommand(SevenZip() + " t " + Quote(archive), &output), 0) << output;
        ArchiveInspector inspector;
        ASSERT_TRUE(inspector.Open(archive, error)) << error;
        EXPECT_EQ(inspector.entries().size(),
                  c.files.size() + c.folders.size() + (c.files.size() > 1 ? 1 : 0));
        EXPECT_TRUE(inspector.Test(error)) << error;
        const fs::path out = dir_ / ("out" + std::to_string(n));
        fs::create_directories(out);
        ASSERT_EQ(RunCommand(SevenZip() + " x -o" + Quote(out) + " " + Quote(archive), &output), 0)
            << output;
        EXPECT_EQ(Snapshot(out), Snapshot(src));
    }
}

TEST_F(ArchiveTest, DamagedDataFailsTheTest) {
    Put("src/a.txt", MakeContent(200000, 3, true));
    Put("src/b.txt", MakeContent(200000, 4, true));
    const fs::path archive = dir_ / "a.7z";
    std::string error;
    ASSERT_TRUE(Pack(dir_ / "src", archive, Plain(), error)) << error;
    std::vector<uint8_t> bytes = ReadBytes(archive);
    bytes[40] ^= 0x55;  // inside the packed data
    ArchiveInspector inspector;
    ASSERT_TRUE(inspector.OpenBytes(bytes, error)) << error;
    EXPECT_FALSE(inspector.Test(error));
    EXPECT_NE(error.find("in 'a.txt'"), std::string::npos) << error;

    bytes = ReadBytes(archive);
    bytes[3] = 0;  // signature
    EXPECT_FALSE(inspector.OpenBytes(bytes, error));
    EXPECT_NE(error.find("not a 7z archive"), std::string::npos) << error;
}

// Archives 7-Zip writes with each method the installer supports decode with
// the SDK decoder the installer is built on.
TEST_F(ArchiveTest, ReadsArchivesSevenZipWrites) {
    const fs::path src = SampleTree();
    const struct {
        const char* name;
        const char* switches;
    } methods[] = {
        {"lzma", "-m0=LZMA"},
        {"lzma2", "-m0=LZMA2"},
        {"bcj", "-m0=BCJ -m1=LZMA"},
        {"copy", "-m0=Copy"},
    };
    const auto expected = Snapshot(src);
    for (const auto& m : methods) {
        const fs::path archive = dir_ / (std::string(m.name) + ".7z");
        std::string output, error;
        ASSERT_EQ(RunCommand("cd " + Quote(src) + " && " + SevenZip() + " a -bd " + m.switches +
                                 " " + Quote(archive) + " .",
                             &output),
                  0)
            << output;
        ArchiveInspector inspector;
        ASSERT_TRUE(inspector.Open(archive, error)) << m.name << ": " << error;
        EXPECT_TRUE(inspector.Test(error)) << m.name << ": " << error;
        size_t files = 0;
        for (const auto& e : expected) files += e.first.back() != '/';
        size_t seen = 0;
        for (const ArchiveEntryInfo& e : inspector.entries()) seen += !e.folder;
        EXPECT_EQ(seen, files) << m.name;
        EXPECT_TRUE(inspector.InstallProblems().empty()) << m.name;
    }
}

TEST_F(ArchiveTest, PointsOutEntriesInstallersRefuseOrCannotWrite) {
    const fs::path file = Put("f.txt", "x");
    std::vector<PayloadItem> items = {
        {u"late/f.txt", false, file, 1},  // its folder comes after it
        {u"late", true, {}, 0},
        {u"../evil.txt", false, file, 1},
        {u"r_x64//..\\evil.txt", false, file, 1},
        {u"C:/evil.txt", false, file, 1},
        {u"/abs.txt", false, file, 1},
        {u"r_x64//bin", true, {}, 0},
        {u"r_x64//bin/ok.dll", false, file, 1},   // fine: its folder precedes it
        {u"r_x86//bin/odd.dll", false, file, 1},  // no r_x86//bin folder
    };
    const fs::path archive = dir_ / "odd.7z";
    SevenZipWriter writer(Plain());
    std::string error;
    ASSERT_TRUE(writer.Write(items, archive, error)) << error;
    ArchiveInspector inspector;
    ASSERT_TRUE(inspector.Open(archive, error)) << error;
    const std::vector<std::string> problems = inspector.InstallProblems();
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_NE(problems[0].find("'late/f.txt': it comes before its folder"), std::string::npos);
    EXPECT_NE(problems[1].find("'../evil.txt': the name climbs out"), std::string::npos);
    EXPECT_NE(problems[2].find("climbs out"), std::string::npos);
    EXPECT_NE(problems[3].find("holds ':'"), std::string::npos);
    EXPECT_NE(problems[4].find("is absolute"), std::string::npos);
    EXPECT_NE(problems[5].find("'r_x86//bin/odd.dll': it comes before its folder, so the 32-bit"),
              std::string::npos);
}

TEST_F(ArchiveTest, FileChangedWhilePackingIsAnError) {
    const fs::path file = Put("f.txt", "four");
    const fs::path archive = dir_ / "a.7z";
    for (uint64_t listed : {uint64_t{3}, uint64_t{5}}) {
        SevenZipWriter writer(Plain());
        std::string error;
        EXPECT_FALSE(writer.Write({{u"f.txt", false, file, listed}}, archive, error));
        EXPECT_NE(error.find("f.txt"), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(archive));  // no partial archive left behind
    }
}
