#include "TestTree.h"
#include "package/PayloadMask.h"

namespace {
const std::string kSkinpack = SKINPACK_EXE;
}

class CommandLineTest : public ScratchTest {};

TEST_F(CommandLineTest, PayloadListTestAndMaskRoundTrip) {
    Put("src/app/a.txt", MakeContent(10000, 5, true));
    Put("src/r_x64/bin/tool.dll", "64");
    std::string output;
    const fs::path pak = dir_ / "payload.pak";
    ASSERT_EQ(RunCommand(kSkinpack + " payload " + Quote(dir_ / "src") + " " + Quote(pak), &output),
              0)
        << output;
    EXPECT_NE(output.find("masked"), std::string::npos) << output;

    ASSERT_EQ(RunCommand(kSkinpack + " list " + Quote(pak), &output), 0) << output;
    EXPECT_NE(output.find("r_x64//bin/tool.dll"), std::string::npos) << output;
    EXPECT_NE(output.find("(masked)"), std::string::npos) << output;
    ASSERT_EQ(RunCommand(kSkinpack + " test " + Quote(pak), &output), 0) << output;
    EXPECT_NE(output.find("Everything is Ok"), std::string::npos) << output;

    // Unmasked, it is a plain 7z archive; masked again, the original bytes.
    const fs::path plain = dir_ / "plain.7z", again = dir_ / "again.pak";
    ASSERT_EQ(RunCommand(kSkinpack + " mask " + Quote(pak) + " " + Quote(plain), &output), 0)
        << output;
    ASSERT_EQ(RunCommand("7zz t " + Quote(plain), &output), 0) << output;
    ASSERT_EQ(RunCommand(kSkinpack + " mask " + Quote(plain) + " " + Quote(again), &output), 0)
        << output;
    EXPECT_EQ(ReadBytes(again), ReadBytes(pak));

    ASSERT_EQ(RunCommand(kSkinpack + " payload --plain --level 1 --block-mb 1 --threads 1 " +
                             Quote(dir_ / "src") + " " + Quote(dir_ / "p.7z"),
                         &output),
              0)
        << output;
    EXPECT_EQ(RunCommand("7zz t " + Quote(dir_ / "p.7z"), &output), 0) << output;
}

TEST_F(CommandLineTest, MaskEmbedsOddInputsWithAWarning) {
    Put("junk.bin", "not an archive");
    std::string output;
    ASSERT_EQ(
        RunCommand(kSkinpack + " mask " + Quote(dir_ / "junk.bin") + " " + Quote(dir_ / "junk.pak"),
                   &output),
        0);
    EXPECT_NE(output.find("does not look like a 7z archive"), std::string::npos) << output;
    const std::vector<uint8_t> masked = ReadBytes(dir_ / "junk.pak");
    EXPECT_EQ(masked[0], 'n' ^ kPayloadMask);
    EXPECT_EQ(masked[2], 't');
}

TEST_F(CommandLineTest, BadInvocationsFailWithAMessage) {
    Put("src/a.txt", "a");
    Put("junk.bin", "not an archive at all");
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"", 2, "usage"},
        {"frobnicate a b", 2, "usage"},
        {"payload " + Quote(dir_ / "src"), 2, "usage"},
        {"payload --level 12 " + Quote(dir_ / "src") + " x", 2, "usage"},
        {"payload " + Quote(dir_ / "absent") + " " + Quote(dir_ / "x.pak"), 1, "is not a folder"},
        {"skin " + Quote(dir_ / "absent") + " " + Quote(dir_ / "x.pak"), 1, "is not a folder"},
        {"test " + Quote(dir_ / "junk.bin"), 1, "not a 7z archive"},
        {"list " + Quote(dir_ / "absent.7z"), 1, "cannot open"},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(RunCommand(kSkinpack + " " + c.args, &output), c.status) << c.args;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.args << ": " << output;
    }
}

TEST_F(CommandLineTest, MakeInstallerTakesOnePayloadSource) {
    Put("src/a.txt", "a");
    Put("a.7z", "7z");
    std::string output;
    EXPECT_EQ(RunCommand(std::string(SKINPACK_MAKE_INSTALLER) + " --script x.lua --payload " +
                             Quote(dir_ / "src") + " --payload-archive " + Quote(dir_ / "a.7z"),
                         &output),
              2);
    EXPECT_NE(output.find("not both"), std::string::npos) << output;
}
