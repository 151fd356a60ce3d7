// The path, system and registry functions inside a whole installer process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/TestProcess.h"

namespace {

TEST(InstallerTest, SeesItsOwnNameAndTheSystem) {
    // Under Wine the first window of a session starts the desktop process; it
    // must not start from the installer, where it would inherit the output
    // pipe and keep it open after the installer has ended.
    ::GetDesktopWindow();
    const ProcessResult r = RunProcess(TestInstallerPath(L"setup_1001.exe"), L"");
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    const char* const expected[] = {
        "exe=setup_1001.exe\r\n", "wow64=false\r\n", "join=C:\\Program Files\\App\r\n",
        "reg=C:\\App\r\n",        "after=\r\n",
    };
    for (const char* line : expected) {
        EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
    }
    EXPECT_EQ(r.output.find("os=0.0.0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("os="), std::string::npos) << r.output;
}

}  // namespace
