#pragma once
// The checksum of a Windows executable's optional header, computed over the
// file as it is written: the sum of its 16-bit little-endian words with the
// carries folded back in, plus the file's length. The checksum field itself
// must be written as zero while summing.
#include <cstddef>
#include <cstdint>

class PeChecksum {
  public:
    void Add(const uint8_t* data, size_t size);
    void AddZeros(uint64_t count);
    uint64_t length() const { return length_; }
    uint32_t Finish() const;

  private:
    uint64_t sum_ = 0;
    uint64_t length_ = 0;
};
