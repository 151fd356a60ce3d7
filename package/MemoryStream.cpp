#include "package/MemoryStream.h"

#include <windows.h>
#include <algorithm>
#include <cstring>

MemoryStream::MemoryStream(const uint8_t* data, uint32_t size)
    : data_(data), size_(data ? size : 0) {
    vt_.iface.Read = &MemoryStream::ReadThunk;
    vt_.iface.Seek = &MemoryStream::SeekThunk;
    vt_.self = this;
}

void MemoryStream::PatchHead(const uint8_t* bytes, size_t count) {
    headSize_ = std::min({count, kMaxPatch, static_cast<size_t>(size_)});
    std::memcpy(head_, bytes, headSize_);
}

uint8_t MemoryStream::PresentedByte(uint32_t pos) const {
    return pos < headSize_ ? head_[pos] : data_[pos];
}

SRes MemoryStream::Read(void* buffer, size_t* size) {
    if (position_ >= size_) {
        *size = 0;
        ::SetLastError(ERROR_HANDLE_EOF);
        return SZ_ERROR_READ;
    }
    const size_t n = static_cast<size_t>(std::min<uint64_t>(*size, size_ - position_));
    auto* out = static_cast<uint8_t*>(buffer);
    std::memcpy(out, data_ + position_, n);
    for (uint64_t i = position_; i < headSize_ && i < position_ + n; ++i)
        out[i - position_] = head_[i];
    position_ += n;
    *size = n;
    return SZ_OK;
}

SRes MemoryStream::Seek(Int64* pos, ESzSeek origin) {
    Int64 base = 0;
    if (origin == SZ_SEEK_CUR) base = static_cast<Int64>(position_);
    if (origin == SZ_SEEK_END) base = static_cast<Int64>(size_);
    // Offsets come from the archive: keep the sum from overflowing.
    if (*pos > 0 && base > INT64_MAX - *pos) return SZ_ERROR_PARAM;
    const Int64 target = base + *pos;
    if (target < 0) return SZ_ERROR_PARAM;
    position_ = static_cast<uint64_t>(target);
    *pos = target;
    return SZ_OK;
}

SRes MemoryStream::ReadThunk(ISeekInStreamPtr p, void* buf, size_t* size) {
    return reinterpret_cast<const Vtable*>(p)->self->Read(buf, size);
}

SRes MemoryStream::SeekThunk(ISeekInStreamPtr p, Int64* pos, ESzSeek origin) {
    return reinterpret_cast<const Vtable*>(p)->self->Seek(pos, origin);
}
