#pragma once
// Scratch folders and small file trees for the packer's tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class ScratchTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Writes a file (creating its folders) and returns its path.
    fs::path Put(const std::string& relative, const std::string& content);
    fs::path Folder(const std::string& relative);
    fs::path dir_;
};

std::string ReadText(const fs::path& path);
std::vector<uint8_t> ReadBytes(const fs::path& path);
// Deterministic bytes: text-like when `compressible`, noise otherwise.
std::string MakeContent(size_t size, uint32_t seed, bool compressible);
// Runs a shell command; its exit status, with stdout+stderr in `output`.
int RunCommand(const std::string& command, std::string* output = nullptr);
std::string Quote(const fs::path& path);
// Every file and folder under `root`, as relative paths ("dir/" for folders)
// with the file contents, for comparing trees.
std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& root);
