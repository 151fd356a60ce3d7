#include "tools/skinpack/PeChecksum.h"

void PeChecksum::Add(const uint8_t* data, size_t size) {
    size_t i = 0;
    // A chunk may start on an odd offset: its first byte is a high half.
    if ((length_ & 1) && size > 0) sum_ += uint64_t{data[i++]} << 8;
    // 64-bit sums cannot overflow before 2^48 words; fold well before that.
    uint64_t sum = 0;
    for (; i + 1 < size; i += 2) sum += uint64_t{data[i]} | uint64_t{data[i + 1]} << 8;
    if (i < size) sum += data[i];
    sum_ += sum;
    sum_ = (sum_ & 0xFFFFFFFFu) + (sum_ >> 32);
    length_ += size;
}

void PeChecksum::AddZeros(uint64_t count) { length_ += count; }

uint32_t PeChecksum::Finish() const {
    uint64_t sum = sum_;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + length_);
}
