#include <algorithm>

#include "TestTree.h"
#include "tools/skinpack/ScriptChecker.h"
#include "tools/skinpack/SkinChecker.h"

class ScriptCheckerTest : public ScratchTest {};

TEST_F(ScriptCheckerTest, ReportsTheFileLineAndCompilerMessage) {
    const struct {
        std::string script;
        bool compiles;
        std::string message;  // after "FILE"
    } cases[] = {
        {"function OnRunSetup()\n  lua_Print('hi')\nend\n", true, ""},
        {"", true, ""},
        {"-- a comment only", true, ""},
        {"local a = 1\nlocal b = \nend\n", false, ":3: unexpected symbol near 'end'"},
        {"function f(\n  return 2\nend\n", false, ":2: <name> or '...' expected near 'return'"},
        {"x = 'never closed\n", false, ":1: unfinished string near ''never closed'"},
        {"goto nowhere\n", false, ":2: no visible label 'nowhere' for <goto> at line 1"},
    };
    for (const auto& c : cases) {
        const fs::path file = Put("s.lua", c.script);
        std::string message;
        EXPECT_EQ(ScriptChecker::Check(file, message), c.compiles) << c.script;
        if (!c.compiles) {
            EXPECT_EQ(message, file.u8string() + c.message) << c.script;
        }
    }
}

TEST_F(ScriptCheckerTest, AMissingFileFailsWithItsName) {
    std::string message;
    EXPECT_FALSE(ScriptChecker::Check(dir_ / "none.lua", message));
    EXPECT_NE(message.find("none.lua"), std::string::npos) << message;
}

class SkinCheckerTest : public ScratchTest {
  protected:
    // Checks a skin of one layout and the images bg.png and btn.png; the
    // findings as "error|warning LINE: MESSAGE START".
    std::vector<std::string> CheckLayout(const std::string& layout, bool* ok = nullptr) {
        Put("skin/img/bg.png", "png");
        Put("skin/img/Btn.png", "png");
        Put("skin/xml/part.xml", "<UIControl/>");
        Put("skin/xml/main.xml", layout);
        SkinChecker checker;
        const bool passed = checker.Check(dir_ / "skin");
        if (ok) *ok = passed;
        std::vector<std::string> out;
        for (const SkinFinding& f : checker.findings()) {
            EXPECT_EQ(f.file, (dir_ / "skin/xml/main.xml").u8string());
            out.push_back(std::string(f.error ? "error " : "warning ") + std::to_string(f.line) +
                          ": " + f.message);
        }
        return out;
    }
};

TEST_F(SkinCheckerTest, FindsWhatTheInstallerWouldSkipOrNotShow) {
    const struct {
        std::string layout;
        bool ok;
        std::vector<std::string> findings;  // each a prefix of one finding
    } cases[] = {
        // Everything known and present: the names' case does not matter.
        {"<UIWnd back=\"img:file=img\\BG.png|type=3\">\n"
         "  <UIButton btn=\"img\\btn.png\" txt=\"a.png is text\"/>\n"
         "  <node file=\"XML\\part.xml\" pos=\"0,0,1,1\"/>\n"
         "  <UILabel txt=\"C:\\x.png\" back=\"clr:clr=#ff000000\"/>\n"
         "</UIWnd>",
         true,
         {}},
        {"<UIWnd>\n  <UIPanel id=\"x\">\n    <UIMissing/>\n  </UIPanel>\n  <UILabel/>\n</UIWnd>",
         true,
         {"warning 2: unknown tag <UIPanel>"}},
        {"<UIWnd>\n<UIControl\n  back=\"img:file=img\\none.png\"/>\n"
         "<UIProgress prob=\"img/bg.png\" prof=\"img\\bg.png\"/></UIWnd>",
         true,
         {"warning 2: back names the image 'img\\none.png', which the skin does not contain",
          "warning 4: prob names the image 'img/bg.png', which the skin does not contain (names "
          "use '\\', not '/')"}},
        {"<UIWnd>\n  <node file=\"xml\\gone.xml\"/>\n  <node/>\n</UIWnd>",
         true,
         {"warning 2: file names the layout 'xml\\gone.xml'", "warning 3: <node> without a file"}},
        // Not well-formed: one error at the first problem, nothing else.
        {"<UIWnd>\n  <UILabel>\n</UIWnd>\n", false, {"error 2: not well-formed"}},
        {"<UIWnd>\n</UIButton>\n</UIWnd>", false, {"error 2: not well-formed"}},
        {"<UIWnd/>\n<UIWnd/>", false, {"error 1: not well-formed"}},
        {"<UIWnd>\n\n  <UILabel txt=\"open", false, {"error 3: not well-formed"}},
        {"", false, {"error 1: not well-formed"}},
    };
    for (const auto& c : cases) {
        bool ok = false;
        const std::vector<std::string> found = CheckLayout(c.layout, &ok);
        EXPECT_EQ(ok, c.ok) << c.layout;
        ASSERT_EQ(found.size(), c.findings.size()) << c.layout << "\n"
                                                   << ::testing::PrintToString(found);
        for (size_t i = 0; i < found.size(); ++i)
            EXPECT_EQ(found[i].compare(0, c.findings[i].size(), c.findings[i]), 0)
                << found[i] << "\nexpected: " << c.findings[i];
    }
}

TEST_F(SkinCheckerTest, AnEmptyFolderOrOneWithoutLayoutsIsAnError) {
    Folder("empty");
    Put("images/img/a.png", "png");
    const struct {
        std::string folder;
        std::string message;
    } cases[] = {
        {"empty", "the skin folder is empty"},
        {"images", "the skin has no layouts"},
        {"missing", "is not a folder"},
    };
    for (const auto& c : cases) {
        SkinChecker checker;
        EXPECT_FALSE(checker.Check(dir_ / c.folder)) << c.folder;
        ASSERT_EQ(checker.findings().size(), 1u) << c.folder;
        const SkinFinding& f = checker.findings()[0];
        EXPECT_TRUE(f.error);
        EXPECT_NE(f.message.find(c.message), std::string::npos) << f.message;
        EXPECT_EQ(f.Text().compare(0, 7, "error: "), 0) << f.Text();
    }
}

TEST_F(SkinCheckerTest, TheShippedAndExampleSkinsCheckClean) {
    // The shipped skin's images are drawn at build time; its layouts are
    // checked here against the names its drawing script writes.
    const fs::path source = SKINPACK_SOURCE_DIR;
    std::string output;
    ASSERT_EQ(
        RunCommand(Quote(source / "tools/make-skin") + " " + Quote(dir_ / "shipped"), &output), 0)
        << output;
    for (const fs::path& skin :
         {dir_ / "shipped", source / "docs/examples/gallery", source / "docs/examples/wizard/skin",
          source / "tests/setup/wizard"}) {
        SkinChecker checker;
        EXPECT_TRUE(checker.Check(skin)) << skin;
        EXPECT_GT(checker.layoutCount(), 0u);
        for (const SkinFinding& f : checker.findings()) ADD_FAILURE() << f.Text();
    }
}

TEST_F(SkinCheckerTest, DeepNestingIsReportedOnceNotFollowed) {
    std::string layout;
    for (int i = 0; i < 300; ++i) layout += "<UIControl>";
    for (int i = 0; i < 300; ++i) layout += "</UIControl>";
    const std::vector<std::string> found = CheckLayout(layout);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("nested deeper than 256"), std::string::npos) << found[0];
}
