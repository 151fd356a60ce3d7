#pragma once
// The bytes a machine id is derived from: a fixed 1024-byte buffer that
// parts are appended to in order, each cut to the room left.
#include <cstddef>
#include <cstdint>
#include <string>

class IdentityBuffer {
  public:
    static constexpr size_t kCapacity = 1024;

    // Appends as much of the part as still fits; returns the bytes taken.
    size_t Append(const void* data, size_t size);
    size_t Append(const std::string& text) { return Append(text.data(), text.size()); }
    void AppendLe32(uint32_t value);

    const uint8_t* Data() const { return bytes_; }
    size_t Size() const { return filled_; }
    size_t Room() const { return kCapacity - filled_; }

  private:
    uint8_t bytes_[kCapacity] = {};
    size_t filled_ = 0;
};
