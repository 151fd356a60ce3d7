// Timings of the path utilities the payload extraction calls once per file.
// Run on demand: test_paths.exe --gtest_also_run_disabled_tests
//   --gtest_filter=*Benchmark*
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "base/PathUtil.h"
#include "support/TestProcess.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

TEST(PathBenchmark, DISABLED_PerFileOperations) {
    constexpr int kFiles = 2000;
    const std::wstring root = MakeScratchDir(L"bench");

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring folder = JoinPath(root, L"app\\lib\\module" + std::to_wstring(i % 50) +
                                                       L"\\sub" + std::to_wstring(i % 7));
        CreateDirectoryTree(folder);
    }
    const double create = MillisecondsSince(start);

    for (int i = 0; i < kFiles; ++i) {
        WriteFileBytes(JoinPath(root, L"f" + std::to_wstring(i)), "x");
    }
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFiles; ++i) DeleteOrMoveAside(JoinPath(root, L"f" + std::to_wstring(i)));
    const double replace = MillisecondsSince(start);

    for (int i = 0; i < kFiles; ++i) {
        WriteFileBytes(JoinPath(root, L"f" + std::to_wstring(i)), "x");
    }
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFiles; ++i) {
        ::DeleteFileW(JoinPath(root, L"f" + std::to_wstring(i)).c_str());
    }
    const double plainDelete = MillisecondsSince(start);

    start = std::chrono::steady_clock::now();
    DeleteDirectoryTree(root);
    const double remove = MillisecondsSince(start);

    std::printf("CreateDirectoryTree, 4-level folders: %.1f us per call\n", create * 1000 / kFiles);
    std::printf("DeleteOrMoveAside, free files: %.1f us per file\n", replace * 1000 / kFiles);
    std::printf("DeleteFileW alone, for comparison: %.1f us per file\n",
                plainDelete * 1000 / kFiles);
    std::printf("DeleteDirectoryTree, 350 folders: %.1f ms\n", remove);
}

}  // namespace
