#pragma once
// Makes an installer from the prebuilt host executable without a linker:
// reads the host, keeps its resources (the manifest and any other), adds or
// replaces the installer's own (script, skin, payload, and the icon and
// version information that brand it) and writes a new resource section in
// place of the old one, moving the relocations behind it and fixing the
// section table, the image size and the checksum.
//
// Hosts it accepts: an unsigned x86 or x64 GUI program with a manifest,
// whose resource section is the last one but for the base relocations, with
// no symbol table and nothing after its last section. The output carries no
// time stamp, so equal inputs give equal bytes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skinpack/PeImage.h"
#include "tools/skinpack/ResourceTree.h"

// The installer's resources: the script (129 "LUA"), the skin package
// (130 "PAK") and the payload archive (131 "PAK").
constexpr uint16_t kScriptResource = 129;
constexpr uint16_t kSkinResource = 130;
constexpr uint16_t kPayloadResource = 131;
// The branding: icon images (type 3) from 1 up, the group icon (type 14) 1
// that the shell shows for the file, and the version information (type 16) 1.
constexpr uint16_t kIconType = 3;
constexpr uint16_t kGroupIconType = 14;
constexpr uint16_t kVersionType = 16;
constexpr uint16_t kAppIconResource = 1;
constexpr uint16_t kVersionResource = 1;

class HostResourceWriter {
  public:
    // Reads and checks the host; false with a message saying why it is not
    // a host this writer recognises.
    bool Open(const std::filesystem::path& host, std::string& error);
    // Embeds a file as resource `id` of type `type`; it is read when writing.
    bool Put(const std::u16string& type, uint16_t id, const std::filesystem::path& file,
             std::string& error);
    // Gives the installer the icon of an .ico file, in place of every icon
    // the host has; false with a message when the file is not a sound icon.
    bool PutIcon(const std::filesystem::path& ico, std::string& error);
    // Gives the installer this version information, in place of the host's.
    void PutVersion(std::vector<uint8_t> bytes);
    // Writes the installer to `out` (through a temporary file).
    bool Write(const std::filesystem::path& out, std::string& error) const;

    const ResourceTree& resources() const { return resources_; }

  private:
    bool CheckHost(std::string& error);
    bool FindLayout(std::string& error);
    bool WriteTo(std::FILE* file, const std::filesystem::path& out, std::string& error) const;
    std::vector<uint8_t> NewHeaders(const ResourceLayout& layout, std::string& error) const;

    std::filesystem::path host_;
    PeImage image_;
    ResourceTree resources_;
    size_t rsrc_ = 0;        // the resource section's index
    bool hasReloc_ = false;  // whether the relocation section follows it
};
