#include "TestPe.h"

#include <cstring>

const char kTestManifest[] = "<assembly manifestVersion=\"1.0\"/>";

namespace {

constexpr uint32_t kFileAlign = 0x200;
constexpr uint32_t kSectionAlign = 0x1000;

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Section(TestPe& pe, int index, const char* name, uint32_t address, uint32_t size, uint32_t raw,
             uint32_t flags) {
    const size_t h = pe.sectionTable + static_cast<size_t>(index) * 40;
    std::memcpy(&pe.bytes[h], name, std::strlen(name));
    Put32(pe.bytes, h + 8, size);
    Put32(pe.bytes, h + 12, address);
    Put32(pe.bytes, h + 16, kFileAlign);
    Put32(pe.bytes, h + 20, raw);
    Put32(pe.bytes, h + 36, flags);
}

// type 24 -> name 1 -> language 1033 -> the manifest; or no entries at all.
void Resources(TestPe& pe, bool manifest) {
    std::vector<uint8_t>& b = pe.bytes;
    const size_t r = pe.rsrcRaw;
    if (!manifest) return;
    Put16(b, r + 14, 1);
    Put32(b, r + 16, 24);
    Put32(b, r + 20, 0x80000018);
    Put16(b, r + 0x18 + 14, 1);
    Put32(b, r + 0x18 + 16, 1);
    Put32(b, r + 0x18 + 20, 0x80000030);
    Put16(b, r + 0x30 + 14, 1);
    Put32(b, r + 0x30 + 16, 1033);
    Put32(b, r + 0x30 + 20, 0x48);
    Put32(b, r + 0x48, pe.rsrcAddress + 0x58);
    Put32(b, r + 0x48 + 4, sizeof kTestManifest - 1);
    std::memcpy(&b[r + 0x58], kTestManifest, sizeof kTestManifest - 1);
}

}  // namespace

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TestPe MakeTestPe(const TestPeOptions& o) {
    TestPe pe;
    const int sections = 2 + (o.reloc ? 1 : 0) + (o.sectionAfterResources ? 1 : 0);
    pe.bytes.assign(0x400 + kFileAlign * sections, 0);
    std::vector<uint8_t>& b = pe.bytes;
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x40);
    Put32(b, 0x40, 0x00004550);
    pe.coff = 0x44;
    const uint16_t optionalSize = o.x64 ? 240 : 224;
    Put16(b, pe.coff, o.x64 ? 0x8664 : 0x014C);
    Put16(b, pe.coff + 2, static_cast<uint16_t>(sections));
    Put32(b, pe.coff + 4, 0x5F000000);  // a time stamp the writer must drop
    Put16(b, pe.coff + 16, optionalSize);
    Put16(b, pe.coff + 18, o.x64 ? 0x0022 : 0x0102);
    pe.optional = pe.coff + 20;
    Put16(b, pe.optional, o.x64 ? 0x20B : 0x10B);
    Put32(b, pe.optional + 8, kFileAlign * (sections - 1));
    Put32(b, pe.optional + 16, 0x1000);
    Put32(b, pe.optional + 32, kSectionAlign);
    Put32(b, pe.optional + 36, kFileAlign);
    Put32(b, pe.optional + 56, kSectionAlign * (sections + 1));
    Put32(b, pe.optional + 60, 0x400);
    Put16(b, pe.optional + 68, 2);  // GUI
    pe.directories = pe.optional + (o.x64 ? 112 : 96);
    Put32(b, pe.directories - 4, 16);
    pe.sectionTable = pe.optional + optionalSize;

    b[0x400] = 0xC3;
    Section(pe, 0, ".text", 0x1000, 1, 0x400, 0x60000020);
    pe.rsrcAddress = 0x2000;
    pe.rsrcRaw = 0x600;
    Section(pe, 1, ".rsrc", pe.rsrcAddress, 0x58 + sizeof kTestManifest - 1, 0x600, 0x40000040);
    Put32(b, pe.directories + 2 * 8, pe.rsrcAddress);
    Put32(b, pe.directories + 2 * 8 + 4, 0x58 + sizeof kTestManifest - 1);
    Resources(pe, o.manifest);
    int next = 2;
    if (o.sectionAfterResources) Section(pe, next++, ".extra", 0x3000, 4, 0x800, 0x40000040);
    if (o.reloc) {
        const uint32_t address = 0x1000 * static_cast<uint32_t>(next + 1);
        pe.relocRaw = 0x400 + kFileAlign * static_cast<uint32_t>(next);
        Section(pe, next, ".reloc", address, 12, static_cast<uint32_t>(pe.relocRaw), 0x42000040);
        Put32(b, pe.relocRaw, 0x1000);
        Put32(b, pe.relocRaw + 4, 12);
        Put16(b, pe.relocRaw + 8, o.x64 ? 0xA000 : 0x3000);
        Put32(b, pe.directories + 5 * 8, address);
        Put32(b, pe.directories + 5 * 8 + 4, 12);
    }
    Put32(b, pe.optional + 64, ReferenceChecksum(b, pe.optional + 64));
    return pe;
}

uint32_t ReferenceChecksum(std::vector<uint8_t> bytes, size_t checksumAt) {
    Put32(bytes, checksumAt, 0);
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        sum += bytes[i] | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint32_t>((sum & 0xFFFF) + bytes.size());
}
