#pragma once
// Builds a skin package from a folder: every file under it becomes an entry
// named by its relative path in lower case with backslashes ("xml\main.xml",
// "img\btnb.png"), headers in name order, data contiguous.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package/PackageFormat.h"

class SkinPacker {
  public:
    // Collects the folder's files; false with a message when a name cannot
    // be stored faithfully (not UTF-8, or equal to another once lowered).
    bool Scan(const std::filesystem::path& root, std::string& error);
    // Lays out the package and writes it to `out` (through a temporary file).
    bool Write(const std::filesystem::path& out, std::string& error) const;

    const std::vector<PackageInput>& inputs() const { return inputs_; }
    // Names outside "xml\" and "img\" or with letters only ASCII can lower.
    const std::vector<std::string>& warnings() const { return warnings_; }

  private:
    std::vector<PackageInput> inputs_;
    std::vector<std::string> warnings_;
};
