// Whole installers: the payload travels as a masked resource, is read in
// place and extracted silently; the script prints what it received.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "PackageTestUtil.h"
#include "support/TestProcess.h"

namespace {

struct Install {
    std::wstring folder;
    ProcessResult run;
    std::vector<std::string> lines;  // the script's lines, after the log
};

Install RunInstaller(const wchar_t* exe) {
    Install in;
    in.folder = MakeScratchDir(L"installer") + L"\\target app";
    in.run = RunProcess(TestInstallerPath(exe), L"/dir=\"" + in.folder + L"\"");
    // Standard output is in text mode: lines end in CR LF.
    in.run.output.erase(std::remove(in.run.output.begin(), in.run.output.end(), '\r'),
                        in.run.output.end());
    std::istringstream text(in.run.output);
    std::string line;
    while (std::getline(text, line)) {
        if (line.rfind("progress ", 0) == 0 || line.rfind("result ", 0) == 0 || line == "returned")
            in.lines.push_back(line);
    }
    return in;
}

std::vector<int> Percents(const std::vector<std::string>& lines) {
    std::vector<int> out;
    for (const std::string& l : lines) {
        int percent = 0;
        if (std::sscanf(l.c_str(), "progress [] %d 100", &percent) == 1) out.push_back(percent);
    }
    return out;
}

TEST(Installer, PackedPayloadInstallsSilently) {
    const Install in = RunInstaller(L"package_silent.exe");
    ASSERT_TRUE(in.run.started);
    EXPECT_EQ(in.run.exitCode, 0u);
    EXPECT_NE(in.run.output.find("\nEverything is Ok\n"), std::string::npos) << in.run.output;
    ASSERT_GE(in.lines.size(), 2u) << in.run.output;
    // Without a window everything arrives before lua_StartDecompress returns.
    EXPECT_EQ(in.lines[in.lines.size() - 2], "result 0");
    EXPECT_EQ(in.lines.back(), "returned");
    const std::vector<int> percents = Percents(in.lines);
    ASSERT_GE(percents.size(), 5u) << in.run.output;
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_LT(percents[i - 1], percents[i]);
    bool skippedX86 = false;
    for (const std::string& l : in.lines)
        skippedX86 |= l.rfind("progress [r_x86//bin/tool.dll] ", 0) == 0;
    EXPECT_TRUE(skippedX86) << in.run.output;

    const std::wstring tree = FixturePath(L"payload");
    EXPECT_EQ(ReadAll(in.folder + L"\\bin\\tool.dll"), "x64 tool");
    EXPECT_EQ(ReadAll(in.folder + L"\\app\\readme.txt"), ReadAll(tree + L"\\app\\readme.txt"));
    EXPECT_EQ(ReadAll(in.folder + L"\\app\\noise.bin"), ReadAll(tree + L"\\app\\noise.bin"));
    EXPECT_TRUE(PathExists(in.folder + L"\\app\\empty.txt"));
    EXPECT_EQ(ReadAll(in.folder + L"\\app\\empty.txt"), "");
    EXPECT_TRUE(PathExists(in.folder + L"\\data"));
    EXPECT_FALSE(PathExists(in.folder + L"\\r_x64"));
    EXPECT_FALSE(PathExists(in.folder + L"\\r_x86"));
}

TEST(Installer, ArchiveOfThePeerToolInstalls) {
    const Install in = RunInstaller(L"package_peer.exe");
    EXPECT_NE(in.run.output.find("\nEverything is Ok\n"), std::string::npos) << in.run.output;
    ASSERT_FALSE(in.lines.empty());
    EXPECT_EQ(in.lines.back(), "returned");
    EXPECT_NE(std::find(in.lines.begin(), in.lines.end(), "result 0"), in.lines.end());
    for (const wchar_t* f : {L"docs\\readme.txt", L"bin\\noise.bin", L"bin\\tool.dll"})
        EXPECT_EQ(ReadAll(in.folder + L"\\" + f), ReadAll(FixturePath(L"tree\\") + f)) << Narrow(f);
    EXPECT_TRUE(PathExists(in.folder + L"\\emptydir"));
}

TEST(Installer, MissingOrEmptyPayloadGivesMinus2) {
    for (const wchar_t* exe : {L"package_nopayload.exe", L"package_empty.exe"}) {
        SCOPED_TRACE(Narrow(exe));
        const Install in = RunInstaller(exe);
        EXPECT_EQ(in.lines, (std::vector<std::string>{"result -2", "returned"})) << in.run.output;
    }
}

}  // namespace
