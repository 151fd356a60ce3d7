#include "report/SmbiosInfo.h"

#include "report/SmbiosTable.h"

namespace {

// Structures shorter than these (formatted area and strings together) are
// too old to carry the fields and contribute nothing.
constexpr size_t kMinSystemLength = 27;
constexpr size_t kMinEnclosureLength = 9;

void FillSystem(const SmbiosStructure& s, SmbiosInfo& info) {
    if (s.TotalLength() < kMinSystemLength) return;
    info.systemManufacturer = s.String(s.Byte(4));
    info.systemProduct = s.String(s.Byte(5));
    info.systemVersion = s.String(s.Byte(6));
    info.systemSerial = s.String(s.Byte(7));
    info.systemSku = s.String(s.Byte(25));
}

void FillEnclosure(const SmbiosStructure& s, SmbiosInfo& info) {
    if (s.TotalLength() < kMinEnclosureLength) return;
    info.enclosureManufacturer = s.String(s.Byte(4));
    // The whole byte counts: a set lock bit makes any type a desktop.
    const unsigned char type = s.Byte(5);
    info.chassisClass = (type == 10 || type == 14) ? "NoteBook" : "Desktop";
    info.enclosureVersion = s.String(s.Byte(6));
    info.enclosureSerial = s.String(s.Byte(7));
    info.enclosureAssetTag = s.String(s.Byte(8));
}

}  // namespace

SmbiosInfo SmbiosInfo::FromTable(const SmbiosTable& table) {
    SmbiosInfo info;
    if (const SmbiosStructure* s = table.First(kSystemType)) FillSystem(*s, info);
    if (const SmbiosStructure* s = table.First(kEnclosureType)) FillEnclosure(*s, info);
    return info;
}

std::string SmbiosInfo::IdentityText() const {
    // Each text up to its first zero byte.
    auto cut = [](const std::string& s) { return std::string(s.c_str()); };
    return cut(enclosureAssetTag) + cut(enclosureManufacturer) + cut(enclosureSerial) +
           cut(chassisClass) + cut(enclosureVersion) + cut(reserved) + cut(systemManufacturer) +
           cut(systemProduct) + cut(systemSerial) + cut(systemSku) + cut(systemVersion);
}
