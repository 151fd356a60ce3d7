#pragma once
// The payload archive's first two bytes are stored XOR-ed with this mask, so
// that the embedded archive is not recognised as one by casual scanners. The
// packer applies it and the extraction worker removes it; this is the one
// definition both are built from. Portable: no platform headers.
#include <cstddef>
#include <cstdint>

constexpr uint8_t kPayloadMask = 0xA5;
// How many leading bytes of the payload carry the mask.
constexpr size_t kPayloadMaskedBytes = 2;

// XORs the masked bytes in place (the same call masks and unmasks); a buffer
// shorter than the masked part has only the bytes it holds changed.
inline void ApplyPayloadMask(uint8_t* data, size_t size) {
    for (size_t i = 0; i < kPayloadMaskedBytes && i < size; ++i) data[i] ^= kPayloadMask;
}
