// The mode an installer reads from its own file name and command line, seen
// from inside installers built under telling file names.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/TestProcess.h"

namespace {

TEST(InstallerMode, FileNameAndCommandLine) {
    const struct {
        const wchar_t* file;
        const wchar_t* args;
        const char* expected;
    } cases[] = {
        {L"setup_1005_x@st.exe", L"--upgrade /silentx",
         "channel=1005\nsilent=true\nupdate=true\nsilentparam=true\n"},
        {L"setup_-5@ST.exe", L"/Update",
         "channel=4294967291\nsilent=false\nupdate=false\nsilentparam=false\n"},
    };
    for (const auto& c : cases) {
        const std::wstring exe = TestInstallerPath(c.file);
        ProcessResult r = RunProcess(exe, c.args);
        // Standard output is in text mode: line ends arrive as CR LF.
        r.output.erase(std::remove(r.output.begin(), r.output.end(), '\r'), r.output.end());
        ASSERT_TRUE(r.started) << Narrow(c.file);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u);
        EXPECT_NE(r.output.find(c.expected), std::string::npos) << r.output;
        const std::string line = "cmdline=" + Narrow(L"\"" + exe + L"\" " + c.args) + "\n";
        EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
    }
}

}  // namespace
