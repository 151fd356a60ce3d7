// The path, system and registry functions inside a whole installer process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/TestProcess.h"

namespace {

TEST(InstallerTest, SeesItsOwnNameAndTheSystem) {
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
