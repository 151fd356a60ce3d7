#include "package/PackageFormat.h"

#include <limits>

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads one header at `pos`; false when it does not fit in the package.
bool ReadHeader(const uint8_t* data, size_t size, size_t& pos, PackageEntry& entry) {
    if (size - pos < kPackageFieldBytes) return false;
    const uint32_t nameBytes = ReadU32(data + pos);
    pos += kPackageFieldBytes;
    // The name and the two fields after it must lie inside the package.
    if (size - pos < nameBytes || size - pos - nameBytes < 2 * kPackageFieldBytes) return false;
    const uint8_t* name = data + pos;
    entry.name.resize(nameBytes / 2);
    for (size_t i = 0; i < entry.name.size(); ++i)
        entry.name[i] = static_cast<char16_t>(name[2 * i] | name[2 * i + 1] << 8);
    pos += nameBytes;
    entry.offset = ReadU32(data + pos);
    entry.size = ReadU32(data + pos + kPackageFieldBytes);
    pos += 2 * kPackageFieldBytes;
    return true;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`, advancing past it; U+FFFD for a bad one.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    const uint8_t lead = byte(i++);
    if (lead < 0x80) return lead;
    int extra = 0;
    uint32_t cp = 0, min = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (byte(i) & 0xC0) != 0x80) return 0xFFFD;
        cp = cp << 6 | (byte(i++) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

}  // namespace

PackageContents ReadPackage(const uint8_t* data, size_t size) {
    PackageContents contents;
    if (!data || size < kPackageCountBytes) return contents;
    contents.declaredCount = static_cast<int32_t>(ReadU32(data));
    size_t pos = kPackageCountBytes;
    for (int32_t i = 0; i < contents.declaredCount; ++i) {
        PackageEntry entry;
        if (!ReadHeader(data, size, pos, entry)) {
            contents.truncatedHeaders = true;
            break;
        }
        if (entry.offset > size || entry.size > size - entry.offset) {
            ++contents.entriesOutOfBounds;
            continue;
        }
        contents.entries.push_back(std::move(entry));
    }
    return contents;
}

bool WritePackage(const std::vector<PackageInput>& inputs, std::vector<uint8_t>& out) {
    out.clear();
    constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
    if (inputs.size() > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
    uint64_t headerBytes = kPackageCountBytes, dataBytes = 0;
    for (const PackageInput& in : inputs) {
        headerBytes += 3 * kPackageFieldBytes + 2 * static_cast<uint64_t>(in.name.size());
        dataBytes += in.data.size();
    }
    if (headerBytes + dataBytes > kLimit) return false;
    out.reserve(static_cast<size_t>(headerBytes + dataBytes));
    AppendU32(out, static_cast<uint32_t>(inputs.size()));
    uint32_t offset = static_cast<uint32_t>(headerBytes);
    for (const PackageInput& in : inputs) {
        AppendU32(out, static_cast<uint32_t>(2 * in.name.size()));
        for (char16_t c : in.name) {
            out.push_back(static_cast<uint8_t>(c & 0xFF));
            out.push_back(static_cast<uint8_t>(c >> 8));
        }
        AppendU32(out, offset);
        AppendU32(out, static_cast<uint32_t>(in.data.size()));
        offset += static_cast<uint32_t>(in.data.size());
    }
    for (const PackageInput& in : inputs) out.insert(out.end(), in.data.begin(), in.data.end());
    return true;
}

std::u16string PackageNameOf(const std::u16string& relativePath) {
    std::u16string name = relativePath;
    for (char16_t& c : name) {
        if (c == u'/') c = u'\\';
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return name;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const uint32_t cp = NextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}
