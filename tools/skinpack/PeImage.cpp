#include "tools/skinpack/PeImage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kCoffBytes = 20;
constexpr size_t kSectionHeaderBytes = 40;
constexpr uint16_t kMaxSections = 96;  // the loader's own limit
constexpr uint16_t kCharExecutable = 0x0002;
constexpr uint16_t kCharDll = 0x2000;

bool IsPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

}  // namespace

uint16_t PeRead16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t PeRead32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PeWrite16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void PeWrite32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool PeImage::Parse(std::vector<uint8_t> bytes, std::string& error) {
    bytes_ = std::move(bytes);
    sections_.clear();
    directories_.clear();
    return ParseHeaders(error);
}

bool PeImage::ParseHeaders(std::string& error) {
    const size_t size = bytes_.size();
    if (size < 64 || bytes_[0] != 'M' || bytes_[1] != 'Z') {
        error = "not a Windows executable (no MZ header)";
        return false;
    }
    const uint32_t peOffset = PeRead32(&bytes_[0x3C]);
    if (peOffset < 64 || uint64_t{peOffset} + 4 + kCoffBytes > size ||
        PeRead32(&bytes_[peOffset]) != 0x00004550) {
        error = "not a Windows executable (no PE signature)";
        return false;
    }
    coffOffset_ = peOffset + 4;
    const uint8_t* coff = &bytes_[coffOffset_];
    machine_ = PeRead16(coff);
    if (machine_ != kPeMachineX64 && machine_ != kPeMachineX86) {
        error = "not an x64 or x86 executable";
        return false;
    }
    const uint16_t characteristics = PeRead16(coff + 18);
    if (!(characteristics & kCharExecutable) || (characteristics & kCharDll)) {
        error = "not an executable program (a DLL or an object file)";
        return false;
    }
    pointerToSymbols_ = PeRead32(coff + 8);
    const uint16_t optionalSize = PeRead16(coff + 16);
    optionalOffset_ = coffOffset_ + kCoffBytes;
    if (optionalOffset_ + optionalSize > size) {
        error = "the optional header runs past the end of the file";
        return false;
    }
    if (!ParseOptional(optionalSize, error)) return false;
    return ParseSections(PeRead16(coff + 2), optionalOffset_ + optionalSize, error);
}

bool PeImage::ParseOptional(size_t size, std::string& error) {
    const uint8_t* opt = &bytes_[optionalOffset_];
    const bool plus = machine_ == kPeMachineX64;
    const size_t fixed = plus ? 112 : 96;
    if (size < fixed || PeRead16(opt) != (plus ? 0x20B : 0x10B)) {
        error = "the optional header does not match the machine";
        return false;
    }
    sectionAlignment_ = PeRead32(opt + 32);
    fileAlignment_ = PeRead32(opt + 36);
    sizeOfHeaders_ = PeRead32(opt + 60);
    subsystem_ = PeRead16(opt + 68);
    if (!IsPowerOfTwo(fileAlignment_) || fileAlignment_ < 512 || fileAlignment_ > 65536 ||
        !IsPowerOfTwo(sectionAlignment_) || sectionAlignment_ < fileAlignment_) {
        error = "unusual file or section alignment";
        return false;
    }
    const uint32_t count = PeRead32(opt + fixed - 4);
    if (count <= kPeDirBaseReloc || count > 16 || fixed + size_t{count} * 8 > size) {
        error = "the data directory table is missing or cut short";
        return false;
    }
    directoriesOffset_ = optionalOffset_ + fixed;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* d = &bytes_[directoriesOffset_ + i * 8];
        directories_.push_back({PeRead32(d), PeRead32(d + 4)});
    }
    return true;
}

bool PeImage::ParseSections(uint16_t count, size_t tableOffset, std::string& error) {
    if (count == 0 || count > kMaxSections ||
        tableOffset + size_t{count} * kSectionHeaderBytes >
            std::min<size_t>(sizeOfHeaders_, bytes_.size())) {
        error = "the section table is cut short or outside the headers";
        return false;
    }
    uint64_t nextAddress = 0;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t at = tableOffset + size_t{i} * kSectionHeaderBytes;
        const uint8_t* h = &bytes_[at];
        PeSection s;
        s.name.assign(reinterpret_cast<const char*>(h),
                      strnlen(reinterpret_cast<const char*>(h), 8));
        s.virtualSize = PeRead32(h + 8);
        s.virtualAddress = PeRead32(h + 12);
        s.rawSize = PeRead32(h + 16);
        s.rawPointer = PeRead32(h + 20);
        s.characteristics = PeRead32(h + 36);
        s.headerOffset = at;
        if (s.virtualAddress < nextAddress || s.virtualAddress % sectionAlignment_ != 0) {
            error = "section '" + s.name + "' overlaps another or is misaligned";
            return false;
        }
        if (s.rawSize != 0 &&
            (s.rawPointer < sizeOfHeaders_ || uint64_t{s.rawPointer} + s.rawSize > bytes_.size())) {
            error = "section '" + s.name + "' lies past the end of the file";
            return false;
        }
        nextAddress = uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.rawSize);
        sections_.push_back(std::move(s));
    }
    return true;
}

int PeImage::SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        const PeSection& s = sections_[i];
        const uint64_t span = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva < s.virtualAddress + span) return static_cast<int>(i);
    }
    return -1;
}

const uint8_t* PeImage::At(uint32_t rva, uint32_t size) const {
    const int index = SectionOf(rva);
    if (index < 0) return nullptr;
    const PeSection& s = sections_[static_cast<size_t>(index)];
    const uint64_t offset = uint64_t{rva} - s.virtualAddress;
    if (offset + size > std::min(s.rawSize, std::max(s.virtualSize, s.rawSize))) return nullptr;
    return bytes_.data() + s.rawPointer + offset;
}

uint64_t PeImage::RawEnd() const {
    uint64_t end = sizeOfHeaders_;
    for (const PeSection& s : sections_)
        if (s.rawSize != 0) end = std::max(end, uint64_t{s.rawPointer} + s.rawSize);
    return end;
}
