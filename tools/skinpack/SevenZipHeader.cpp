#include "tools/skinpack/SevenZipHeader.h"

#include "7zCrc.h"

namespace sevenzip {

void HeaderBuffer::Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void HeaderBuffer::Uint32(uint32_t v) {
    for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
}

void HeaderBuffer::Uint64(uint64_t v) {
    for (int i = 0; i < 8; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
}

void HeaderBuffer::Number(uint64_t v) {
    // n extra bytes leave 7 - n value bits in the first byte: 7 * (n + 1) in all.
    int extra = 0;
    while (extra < 8 && v >= (uint64_t{1} << (7 * (extra + 1)))) ++extra;
    uint8_t first = static_cast<uint8_t>(0xFF00u >> extra);
    if (extra < 8) first |= static_cast<uint8_t>(v >> (8 * extra));
    Byte(first);
    for (int i = 0; i < extra; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
}

void HeaderBuffer::BitVector(const std::vector<bool>& bits) {
    uint8_t current = 0;
    for (size_t i = 0; i < bits.size(); ++i) {
        if (bits[i]) current |= static_cast<uint8_t>(0x80 >> (i % 8));
        if (i % 8 == 7) {
            Byte(current);
            current = 0;
        }
    }
    if (bits.size() % 8) Byte(current);
}

void HeaderBuffer::Property(PropertyId id, const HeaderBuffer& data) {
    Byte(id);
    Number(data.size());
    Bytes(data.bytes().data(), data.size());
}

void HeaderBuffer::LzmaFolder(const uint8_t (&props)[5]) {
    Number(1);  // coders
    // Id size 3, no complex coder, has properties.
    Byte(static_cast<uint8_t>(sizeof kLzmaMethodId | 0x20));
    Bytes(kLzmaMethodId, sizeof kLzmaMethodId);
    Number(sizeof props);
    Bytes(props, sizeof props);
}

std::vector<uint8_t> StartHeader(uint64_t nextHeaderOffset, uint64_t nextHeaderSize,
                                 uint32_t nextHeaderCrc) {
    HeaderBuffer tail;
    tail.Uint64(nextHeaderOffset);
    tail.Uint64(nextHeaderSize);
    tail.Uint32(nextHeaderCrc);
    HeaderBuffer start;
    start.Bytes(kSignature, sizeof kSignature);
    start.Byte(0);  // major version
    start.Byte(4);  // minor version
    start.Uint32(CrcCalc(tail.bytes().data(), tail.size()));
    start.Bytes(tail.bytes().data(), tail.size());
    return start.bytes();
}

}  // namespace sevenzip
