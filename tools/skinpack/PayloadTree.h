#pragma once
// The entries of a payload archive, gathered from a folder: every folder
// before the entries inside it, then the files, those common to both
// architectures before the architecture-specific ones. The
// top-level folders "r_x86" and "r_x64" are not entries themselves; what they
// hold is stored under the "r_x86//" and "r_x64//" prefixes that select it by
// processor architecture at install time.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct PayloadItem {
    std::u16string name;  // archive name, '/' between components
    bool folder = false;
    std::filesystem::path source;  // files only
    uint64_t size = 0;
};

class PayloadTree {
  public:
    // Scans `root`. False with a message for anything the installer could not
    // reproduce faithfully on Windows: special files, links to folders, names
    // that are not UTF-8 or that Windows cannot hold, names that differ only
    // in case.
    bool Scan(const std::filesystem::path& root, std::string& error);

    const std::vector<PayloadItem>& items() const { return items_; }

    // Why a single name component cannot be a Windows file name, or empty.
    static std::string CheckComponent(const std::u16string& component);

  private:
    bool ScanFolder(const std::filesystem::path& folder, const std::u16string& prefix, bool top,
                    std::string& error);

    std::vector<PayloadItem> folders_;
    std::vector<PayloadItem> files_;
    std::vector<PayloadItem> items_;
};
