#include "tools/skinpack/IconFile.h"

#include <cstring>

#include "tools/skinpack/PeImage.h"

namespace {

constexpr size_t kHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kGroupEntryBytes = 14;
constexpr uint16_t kIconType = 1;
constexpr uint32_t kBitmapHeaderBytes = 40;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The signature, then the IHDR chunk's length, type and 13 bytes of data.
constexpr size_t kPngMinimum = 8 + 8 + 13;

bool IsPng(const uint8_t* data, uint32_t size) {
    return size >= kPngMinimum && std::memcmp(data, kPngSignature, 8) == 0 &&
           std::memcmp(data + 12, "IHDR", 4) == 0;
}

// A bitmap as icons hold it: an info header of its own size, never the
// compressed kinds, and a height counting the mask below the colours.
bool IsBitmap(const uint8_t* data, uint32_t size) {
    if (size < kBitmapHeaderBytes || PeRead32(data) != kBitmapHeaderBytes) return false;
    const int32_t width = static_cast<int32_t>(PeRead32(data + 4));
    const int32_t height = static_cast<int32_t>(PeRead32(data + 8));
    return width > 0 && width <= 1024 && height > 0 && height <= 2048 && PeRead16(data + 12) == 1;
}

std::string Image(size_t index) { return "image " + std::to_string(index + 1); }

}  // namespace

bool IconFile::Parse(const std::vector<uint8_t>& bytes, std::string& error) {
    images_.clear();
    if (bytes.size() < kHeaderBytes) {
        error = "too short for an icon file";
        return false;
    }
    if (PeRead16(bytes.data()) != 0 || PeRead16(bytes.data() + 2) != kIconType) {
        error = "not an icon file (no icon header)";
        return false;
    }
    const size_t count = PeRead16(bytes.data() + 4);
    if (count == 0 || count > kMaxImages) {
        error = count == 0 ? "the icon holds no images"
                           : "the icon holds more than " + std::to_string(kMaxImages) + " images";
        return false;
    }
    const size_t dataStart = kHeaderBytes + count * kEntryBytes;
    if (dataStart > bytes.size()) {
        error = "the icon's directory runs past the end of the file";
        return false;
    }
    for (size_t i = 0; i < count; ++i)
        if (!ParseImage(bytes, i, dataStart, error)) {
            images_.clear();
            return false;
        }
    return true;
}

bool IconFile::ParseImage(const std::vector<uint8_t>& bytes, size_t index, size_t dataStart,
                          std::string& error) {
    const uint8_t* entry = bytes.data() + kHeaderBytes + index * kEntryBytes;
    const uint32_t size = PeRead32(entry + 8);
    const uint32_t offset = PeRead32(entry + 12);
    if (size == 0) {
        error = "the icon's " + Image(index) + " is empty";
        return false;
    }
    if (offset < dataStart || uint64_t{offset} + size > bytes.size()) {
        error = "the icon's " + Image(index) + " lies outside the file";
        return false;
    }
    const uint8_t* data = bytes.data() + offset;
    const bool png = IsPng(data, size);
    if (!png && !IsBitmap(data, size)) {
        error = "the icon's " + Image(index) + " is neither a bitmap nor a PNG image";
        return false;
    }
    IconImage image;
    image.width = entry[0];
    image.height = entry[1];
    image.colorCount = entry[2];
    image.planes = PeRead16(entry + 4);
    image.bitCount = PeRead16(entry + 6);
    // Some editors leave these zero; the system picks an image by them.
    if (image.planes == 0) image.planes = 1;
    if (image.bitCount == 0) image.bitCount = png ? 32 : PeRead16(data + 14);
    image.bytes.assign(data, data + size);
    images_.push_back(std::move(image));
    return true;
}

std::vector<uint8_t> IconFile::GroupDirectory(uint16_t firstId) const {
    std::vector<uint8_t> out(kHeaderBytes + images_.size() * kGroupEntryBytes, 0);
    PeWrite16(&out[2], kIconType);
    PeWrite16(&out[4], static_cast<uint16_t>(images_.size()));
    for (size_t i = 0; i < images_.size(); ++i) {
        const IconImage& image = images_[i];
        uint8_t* entry = &out[kHeaderBytes + i * kGroupEntryBytes];
        entry[0] = image.width;
        entry[1] = image.height;
        entry[2] = image.colorCount;
        PeWrite16(entry + 4, image.planes);
        PeWrite16(entry + 6, image.bitCount);
        PeWrite32(entry + 8, static_cast<uint32_t>(image.bytes.size()));
        PeWrite16(entry + 12, static_cast<uint16_t>(firstId + i));
    }
    return out;
}
