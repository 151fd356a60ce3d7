#pragma once
// A Windows executable read into memory and checked: the headers, the
// section table and the data directories, every field against the file's
// size before it is used. Portable: no platform headers.
#include <cstdint>
#include <string>
#include <vector>

// Little-endian access to a byte buffer; callers check the bounds first.
uint16_t PeRead16(const uint8_t* p);
uint32_t PeRead32(const uint8_t* p);
void PeWrite16(uint8_t* p, uint16_t value);
void PeWrite32(uint8_t* p, uint32_t value);

struct PeSection {
    std::string name;  // up to 8 characters
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawPointer = 0;
    uint32_t characteristics = 0;
    size_t headerOffset = 0;  // where its 40-byte header lies in the file
};

struct PeDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

constexpr uint16_t kPeMachineX64 = 0x8664;
constexpr uint16_t kPeMachineX86 = 0x014C;
constexpr size_t kPeDirResource = 2;
constexpr size_t kPeDirSecurity = 4;
constexpr size_t kPeDirBaseReloc = 5;
constexpr uint32_t kPeScnInitializedData = 0x00000040;

class PeImage {
  public:
    // Takes the file's bytes; false with a message when they are not a
    // well-formed 32- or 64-bit Windows executable.
    bool Parse(std::vector<uint8_t> bytes, std::string& error);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    uint16_t machine() const { return machine_; }
    uint16_t subsystem() const { return subsystem_; }
    uint32_t fileAlignment() const { return fileAlignment_; }
    uint32_t sectionAlignment() const { return sectionAlignment_; }
    uint32_t pointerToSymbols() const { return pointerToSymbols_; }
    const std::vector<PeSection>& sections() const { return sections_; }
    const std::vector<PeDirectory>& directories() const { return directories_; }

    // Offsets of the header fields a writer changes.
    size_t timeStampOffset() const { return coffOffset_ + 4; }
    size_t checksumOffset() const { return optionalOffset_ + 64; }
    size_t sizeOfImageOffset() const { return optionalOffset_ + 56; }
    size_t sizeOfInitializedDataOffset() const { return optionalOffset_ + 8; }
    size_t directoryOffset(size_t index) const { return directoriesOffset_ + index * 8; }

    // The section whose address range holds `rva`, or -1.
    int SectionOf(uint32_t rva) const;
    // The file bytes of [rva, rva + size) when they lie inside one section's
    // raw data; nullptr otherwise.
    const uint8_t* At(uint32_t rva, uint32_t size) const;
    // The end of the last section's raw data (where an overlay would start).
    uint64_t RawEnd() const;

  private:
    bool ParseHeaders(std::string& error);
    bool ParseOptional(size_t size, std::string& error);
    bool ParseSections(uint16_t count, size_t tableOffset, std::string& error);

    std::vector<uint8_t> bytes_;
    uint16_t machine_ = 0;
    uint16_t subsystem_ = 0;
    uint32_t fileAlignment_ = 0;
    uint32_t sectionAlignment_ = 0;
    uint32_t sizeOfHeaders_ = 0;
    uint32_t pointerToSymbols_ = 0;
    size_t coffOffset_ = 0;
    size_t optionalOffset_ = 0;
    size_t directoriesOffset_ = 0;
    std::vector<PeSection> sections_;
    std::vector<PeDirectory> directories_;
};
