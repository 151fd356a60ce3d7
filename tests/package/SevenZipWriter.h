#pragma once
// A minimal 7z writer for tests: copy-coded, one block per non-empty file,
// entries in the order added and with any name (the file system could not
// hold names like "r_x64//bin/tool.dll" or "..\x").
#include <cstdint>
#include <string>
#include <vector>

class SevenZipWriter {
  public:
    void AddFolder(const std::wstring& name);
    void AddFile(const std::wstring& name, const std::string& data);
    // The archive; the file at `badCrcFile` (an AddFile index) gets a wrong
    // checksum when given.
    std::string Build(int badCrcFile = -1) const;

  private:
    struct Item {
        std::wstring name;
        bool folder;
        std::string data;
    };
    std::vector<Item> items_;
};

// XORs the payload mask into the first bytes, as the packer stores it.
std::string MaskPayload(std::string archive);
