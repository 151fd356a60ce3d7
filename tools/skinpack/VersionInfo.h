#pragma once
// The version information resource that a file's properties and the shell
// show: the fixed part (file and product version, flags, OS, file type)
// and one string table, in US English with UTF-16 texts, named in the
// translation list so readers find it. Portable: no platform headers.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class VersionInfo {
  public:
    // Longer texts are refused; the structure's lengths are 16-bit.
    static constexpr size_t kMaxText = 1024;
    // The string table's language and code page (en-US, UTF-16).
    static constexpr uint16_t kLanguage = 0x0409;
    static constexpr uint16_t kCodePage = 1200;

    // "a.b.c.d", one to four numbers 0-65535 (missing ones are 0); sets the
    // fixed versions and the texts FileVersion and ProductVersion.
    bool SetVersion(const std::string& text, std::string& error);
    // Sets a text of the string table ("ProductName", "CompanyName", ...)
    // from UTF-8; false when it is empty or too long.
    bool SetText(const std::u16string& key, const std::string& utf8, std::string& error);
    bool empty() const { return texts_.empty(); }
    const std::array<uint16_t, 4>& version() const { return version_; }

    // The resource's bytes; equal settings give equal bytes.
    std::vector<uint8_t> Build() const;

  private:
    std::array<uint16_t, 4> version_{};
    std::map<std::u16string, std::u16string> texts_;  // written in key order
};
