#pragma once
// Byte-level building blocks of a 7z archive's header: the property ids, the
// variable-length numbers, bit vectors and the fixed 32-byte start header.
#include <cstdint>
#include <string>
#include <vector>

namespace sevenzip {

// Property ids of the header.
enum PropertyId : uint8_t {
    kEnd = 0x00,
    kHeader = 0x01,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kNumUnpackStream = 0x0D,
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kName = 0x11,
    kWinAttributes = 0x15,
    kEncodedHeader = 0x17,
};

constexpr size_t kStartHeaderSize = 32;
constexpr uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr uint8_t kLzmaMethodId[3] = {0x03, 0x01, 0x01};
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;

// An append-only byte buffer that speaks the header's encodings.
class HeaderBuffer {
  public:
    void Byte(uint8_t b) { bytes_.push_back(b); }
    void Bytes(const void* data, size_t size);
    void Uint32(uint32_t v);
    void Uint64(uint64_t v);
    // The header's variable-length number: 1 to 9 bytes, the count of leading
    // one bits of the first byte telling how many bytes follow.
    void Number(uint64_t v);
    // Bits packed most significant first, padded with zeros to whole bytes.
    void BitVector(const std::vector<bool>& bits);
    // A property whose size precedes its data.
    void Property(PropertyId id, const HeaderBuffer& data);
    // One LZMA coder folder: one coder with its five property bytes.
    void LzmaFolder(const uint8_t (&props)[5]);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

  private:
    std::vector<uint8_t> bytes_;
};

// The start header: signature, version 0.4, and where the header lies
// (offset counted from the end of the start header).
std::vector<uint8_t> StartHeader(uint64_t nextHeaderOffset, uint64_t nextHeaderSize,
                                 uint32_t nextHeaderCrc);

}  // namespace sevenzip
