#pragma once
// The firmware's system and enclosure texts that go into the machine id.
#include <string>

class SmbiosTable;

struct SmbiosInfo {
    // From the first System Information structure (type 1).
    std::string systemManufacturer;
    std::string systemProduct;
    std::string systemVersion;
    std::string systemSerial;
    std::string systemSku;
    // From the first System Enclosure structure (type 3).
    std::string chassisClass;  // "NoteBook" or "Desktop"; empty without an enclosure
    std::string enclosureManufacturer;
    std::string enclosureVersion;
    std::string enclosureSerial;
    std::string enclosureAssetTag;
    // Never filled; it keeps its place in the identity text.
    std::string reserved;

    static constexpr unsigned char kSystemType = 1;
    static constexpr unsigned char kEnclosureType = 3;

    // Fills the texts from the first structures of the two types.
    static SmbiosInfo FromTable(const SmbiosTable& table);
    // The texts concatenated without separators, in identity order.
    std::string IdentityText() const;
};
