#pragma once
// The archive reader's input: a seekable stream over bytes in memory (the
// payload resource, read in place). The first few bytes can be presented
// patched without writing into the data, which may be read-only.
#include <cstddef>
#include <cstdint>

#include "7zTypes.h"

class MemoryStream {
  public:
    MemoryStream(const uint8_t* data, uint32_t size);
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Presents bytes[0, count) in place of the data's first bytes.
    static constexpr size_t kMaxPatch = 8;
    void PatchHead(const uint8_t* bytes, size_t count);
    // The byte at `pos` as the reader sees it (pos < Size()).
    uint8_t PresentedByte(uint32_t pos) const;

    uint32_t Size() const { return size_; }
    // The bytes as stored, without the patched head.
    const uint8_t* Data() const { return data_; }
    uint64_t Position() const { return position_; }

    // Delivers min(requested, size - position) bytes and advances; at or past
    // the end fails with SZ_ERROR_READ (and ERROR_HANDLE_EOF as last error).
    SRes Read(void* buffer, size_t* size);
    // Origin set, current or end; a negative result fails with
    // SZ_ERROR_PARAM and leaves the position unchanged. Positions past the
    // end are accepted; the next read fails.
    SRes Seek(Int64* pos, ESzSeek origin);

    // The reader's interface; valid as long as this object.
    ISeekInStreamPtr Interface() const { return &vt_.iface; }

  private:
    struct Vtable {
        ISeekInStream iface;
        MemoryStream* self;
    };
    static SRes ReadThunk(ISeekInStreamPtr p, void* buf, size_t* size);
    static SRes SeekThunk(ISeekInStreamPtr p, Int64* pos, ESzSeek origin);

    Vtable vt_;
    const uint8_t* data_;
    uint32_t size_;
    // Kept in 64 bits so that a far seek never wraps onto real data.
    uint64_t position_ = 0;
    uint8_t head_[kMaxPatch] = {};
    size_t headSize_ = 0;
};
