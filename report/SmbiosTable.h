#pragma once
// The SMBIOS structure table, read as untrusted bytes: every read is bounds
// checked and a structure that runs past the end of the table is dropped.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// One whole structure: the formatted area followed by its string set, which
// ends with a pair of zero bytes.
class SmbiosStructure {
  public:
    explicit SmbiosStructure(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    uint8_t Type() const { return Byte(0); }
    uint8_t FormattedLength() const { return Byte(1); }
    // Formatted area plus string set, terminating pair included.
    size_t TotalLength() const { return bytes_.size(); }
    // The byte at an offset from the structure's start; 0 past its end.
    uint8_t Byte(size_t offset) const { return offset < bytes_.size() ? bytes_[offset] : 0; }
    // Text number `number` of the string set (1 = first); empty for 0 or a
    // number beyond the set.
    std::string String(uint8_t number) const;

  private:
    std::vector<uint8_t> bytes_;
};

class SmbiosTable {
  public:
    // Walks a structure table of `size` bytes and keeps a copy of every
    // structure whose type is wanted, in table order.
    static SmbiosTable Walk(const uint8_t* data, size_t size, std::initializer_list<uint8_t> types);

    // The first kept structure of that type, or none.
    const SmbiosStructure* First(uint8_t type) const;
    const std::vector<SmbiosStructure>& Structures() const { return structures_; }

  private:
    std::vector<SmbiosStructure> structures_;
};
