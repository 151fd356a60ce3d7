#include "TestTree.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

void ScratchTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = fs::temp_directory_path() / ("skinpack-test-" + std::to_string(getpid())) / name;
    fs::remove_all(dir_);
    fs::create_directories(dir_);
}

void ScratchTest::TearDown() {
    std::error_code ec;
    if (HasFailure()) return;  // kept for a look
    fs::remove_all(dir_, ec);
    fs::remove(dir_.parent_path(), ec);  // only once it is empty
}

fs::path ScratchTest::Put(const std::string& relative, const std::string& content) {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

fs::path ScratchTest::Folder(const std::string& relative) {
    fs::create_directories(dir_ / relative);
    return dir_ / relative;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string MakeContent(size_t size, uint32_t seed, bool compressible) {
    std::string out;
    out.reserve(size);
    uint32_t x = seed * 2654435761u + 1;
    static const char* kWords[] = {"install ",  "window ",   "skin ",   "layout ",
                                   "payload\n", "progress ", "folder ", "archive "};
    while (out.size() < size) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        if (compressible)
            out += kWords[x % 8];
        else
            out += static_cast<char>(x & 0xFF);
    }
    out.resize(size);
    return out;
}

int RunCommand(const std::string& command, std::string* output) {
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    std::array<char, 4096> buf;
    size_t got;
    while ((got = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) text.append(buf.data(), got);
    const int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = e.path().lexically_relative(root).generic_string();
        if (e.is_directory())
            out.emplace_back(rel + "/", "");
        else
            out.emplace_back(rel, ReadText(e.path()));
    }
    std::sort(out.begin(), out.end());
    return out;
}
