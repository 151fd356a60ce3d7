#include "report/IdentityBuffer.h"

#include <cstring>

size_t IdentityBuffer::Append(const void* data, size_t size) {
    const size_t take = size < Room() ? size : Room();
    if (take > 0) std::memcpy(bytes_ + filled_, data, take);
    filled_ += take;
    return take;
}

void IdentityBuffer::AppendLe32(uint32_t value) {
    const uint8_t le[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Append(le, sizeof le);
}
