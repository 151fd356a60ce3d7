// The command-line switches and the file-name markers, on texts directly.
#include <gtest/gtest.h>

#include "script_api/CommandLineRules.h"

namespace {

TEST(CommandLineRules, ChannelFromFileName) {
    const struct {
        const wchar_t* name;
        uint32_t channel;
    } cases[] = {
        {L"setup_1005.exe", 1005},
        {L"setup_1005_x.exe", 1005},
        {L"a_b_7.exe", 0},  // the text after the first "_" does not start with a digit
        {L"setup.exe", 0},
        {L"setup_-5.exe", 4294967291u},  // negative numbers arrive as their 32-bit pattern
        {L"setup_+12.exe", 12},
        {L"setup_ \t42.exe", 42},  // leading white space is skipped
        {L"setup_.exe", 0},
        {L"setup_", 0},
        {L"_7", 7},
        {L"setup_-.exe", 0},
        {L"setup_2147483647.exe", 2147483647u},
        {L"setup_99999999999.exe", 2147483647u},   // clamped, not wrapped
        {L"setup_-99999999999.exe", 2147483648u},  // INT32_MIN
        {L"setup_1005@st.exe", 1005},
        {L"setup_\x0661\x0662.exe", 0},  // only ASCII digits count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::ChannelFromFileName(c.name), c.channel) << c.name;
    }
}

TEST(CommandLineRules, SilentMarker) {
    const struct {
        const wchar_t* name;
        bool silent;
    } cases[] = {
        {L"setup@st.exe", true}, {L"setup_1003@st.exe", true},
        {L"@st.", true},         {L"setup@ST.exe", false},
        {L"setup@st", false},    {L"setup@sT.exe", false},
        {L"setupst.exe", false}, {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::IsSilentFileName(c.name), c.silent) << c.name;
    }
}

TEST(CommandLineRules, UpdateMode) {
    const struct {
        const wchar_t* line;
        bool update;
    } cases[] = {
        {L"setup.exe /update", true},
        {L"setup.exe --update", true},
        {L"setup.exe --upgrade", true},
        {L"setup.exe /upgrade", true},
        {L"setup.exe /updated", true},            // a substring is enough
        {L"\"C:\\x /update\\setup.exe\"", true},  // anywhere, the program path included
        {L"setup.exe /Update", false},            // case-sensitive
        {L"setup.exe -update", false},
        {L"setup.exe", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::IsUpdateMode(c.line), c.update) << c.line;
    }
}

TEST(CommandLineRules, HasParam) {
    const struct {
        const wchar_t* line;
        const wchar_t* text;
        bool found;
    } cases[] = {
        {L"setup.exe /silent", L"/silent", true},
        {L"setup.exe /silentx", L"/silent", true},
        {L"setup.exe /Silent", L"/silent", false},
        {L"setup.exe", L"", true},  // every command line contains the empty text
        {L"", L"", true},
        {L"C:\\setup.exe", L"setup", true},
        {L"setup.exe /sil", L"/silent", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::HasParam(c.line, c.text), c.found) << c.line << " " << c.text;
    }
}

}  // namespace

namespace {

TEST(CommandLineRules, SplitArgumentsFollowsTheWindowsRules) {
    const struct {
        const wchar_t* line;
        std::vector<std::wstring> args;
    } cases[] = {
        {L"setup.exe", {L"setup.exe"}},
        {L"\"C:\\a b\\setup.exe\" /silent", {L"C:\\a b\\setup.exe", L"/silent"}},
        {L"s.exe  \"/dir=C:\\Program Files\\X\"  /x",
         {L"s.exe", L"/dir=C:\\Program Files\\X", L"/x"}},
        {L"s.exe /dir=\"C:\\a b\"", {L"s.exe", L"/dir=C:\\a b"}},
        {L"s.exe a\\\\\"b c\"", {L"s.exe", L"a\\b c"}},  // 2n backslashes and a quote
        {L"s.exe a\\\"b", {L"s.exe", L"a\"b"}},          // 2n+1: an escaped quote
        {L"s.exe C:\\dir\\", {L"s.exe", L"C:\\dir\\"}},  // backslashes before no quote
        {L"s.exe \"a\"\"b\"", {L"s.exe", L"a\"b"}},      // "" inside quotes
        {L"s.exe \"unterminated", {L"s.exe", L"unterminated"}},
        {L"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::SplitArguments(c.line), c.args) << c.line;
    }
}

TEST(CommandLineRules, ParamValueIsTheRestOfTheFirstMatchingArgument) {
    const struct {
        const wchar_t* line;
        const wchar_t* value;
    } cases[] = {
        {L"s.exe /silent /dir=C:\\Tools", L"C:\\Tools"},
        {L"s.exe \"/DIR=C:\\Program Files\\Tools\"", L"C:\\Program Files\\Tools"},
        {L"s.exe /dir=C:\\first /dir=C:\\second", L"C:\\first"},
        {L"s.exe /dir=", L""},
        {L"s.exe /silent", L""},
        {L"\"C:\\x /dir=C:\\in-the-path\\s.exe\" /silent", L""},  // the program is not an argument
        {L"s.exe x/dir=C:\\a", L""},                              // only at an argument's start
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::ParamValue(c.line, L"/dir="), c.value) << c.line;
    }
    EXPECT_EQ(CommandLineRules::ParamValue(L"s.exe /dir=C:\\a", L""), L"");
}

}  // namespace
