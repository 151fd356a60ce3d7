#include "tools/skinpack/VersionInfo.h"

#include <algorithm>
#include <cstdio>

#include "package/PackageFormat.h"
#include "tools/skinpack/PeImage.h"

namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint32_t kFixedStructVersion = 0x00010000;
constexpr uint32_t kFixedFlagsMask = 0x3F;
constexpr uint32_t kOsNtWindows32 = 0x00040004;
constexpr uint32_t kFileTypeApp = 1;
constexpr uint16_t kBinaryValue = 0;
constexpr uint16_t kTextValue = 1;

// Writes the nested blocks: each is its length, its value's length, its
// value's kind, its key and (aligned to 32 bits) its value and children.
class BlockWriter {
  public:
    size_t Begin(const std::u16string& key, uint16_t valueLength, uint16_t kind) {
        Align();
        const size_t start = out_.size();
        Put16(0);
        Put16(valueLength);
        Put16(kind);
        for (char16_t c : key) Put16(c);
        Put16(0);
        Align();
        return start;
    }
    // Its length excludes the padding that aligns whatever follows.
    void End(size_t start) { PeWrite16(&out_[start], static_cast<uint16_t>(out_.size() - start)); }
    void Put16(uint16_t value) {
        out_.push_back(static_cast<uint8_t>(value));
        out_.push_back(static_cast<uint8_t>(value >> 8));
    }
    void Put32(uint32_t value) {
        Put16(static_cast<uint16_t>(value));
        Put16(static_cast<uint16_t>(value >> 16));
    }
    std::vector<uint8_t> Take() { return std::move(out_); }

  private:
    void Align() {
        while (out_.size() % 4 != 0) out_.push_back(0);
    }
    std::vector<uint8_t> out_;
};

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::string Hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

}  // namespace

bool VersionInfo::SetVersion(const std::string& text, std::string& error) {
    std::array<uint16_t, 4> parts{};
    size_t count = 0, at = 0;
    bool ok = !text.empty();
    while (ok && at <= text.size()) {
        const size_t dot = std::min(text.find('.', at), text.size());
        const std::string part = text.substr(at, dot - at);
        ok = count < 4 && !part.empty() && part.size() <= 5 &&
             part.find_first_not_of("0123456789") == std::string::npos &&
             std::stoul(part) <= 0xFFFF;
        if (ok) parts[count++] = static_cast<uint16_t>(std::stoul(part));
        at = dot + 1;
    }
    if (!ok) {
        error = "version '" + text + "' is not one to four numbers 0-65535 (as in 1.2.3.4)";
        return false;
    }
    version_ = parts;
    const std::string full = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                             std::to_string(parts[2]) + "." + std::to_string(parts[3]);
    texts_[u"FileVersion"] = Ascii(full);
    texts_[u"ProductVersion"] = Ascii(full);
    return true;
}

bool VersionInfo::SetText(const std::u16string& key, const std::string& utf8, std::string& error) {
    std::u16string text = Utf8ToUtf16(utf8);
    if (text.empty() || text.size() > kMaxText) {
        error = "the text for " + Utf16ToUtf8(key) + (text.empty() ? " is empty" : " is too long");
        return false;
    }
    texts_[key] = std::move(text);
    return true;
}

std::vector<uint8_t> VersionInfo::Build() const {
    BlockWriter w;
    const size_t root = w.Begin(u"VS_VERSION_INFO", 52, kBinaryValue);
    const uint32_t high = uint32_t{version_[0]} << 16 | version_[1];
    const uint32_t low = uint32_t{version_[2]} << 16 | version_[3];
    for (uint32_t value : {kFixedSignature, kFixedStructVersion, high, low, high, low,
                           kFixedFlagsMask, 0u, kOsNtWindows32, kFileTypeApp, 0u, 0u, 0u})
        w.Put32(value);

    const size_t strings = w.Begin(u"StringFileInfo", 0, kTextValue);
    const size_t table = w.Begin(Ascii(Hex4(kLanguage) + Hex4(kCodePage)), 0, kTextValue);
    for (const auto& [key, text] : texts_) {
        // A text's value length counts its characters with the terminator.
        const size_t entry = w.Begin(key, static_cast<uint16_t>(text.size() + 1), kTextValue);
        for (char16_t c : text) w.Put16(c);
        w.Put16(0);
        w.End(entry);
    }
    w.End(table);
    w.End(strings);

    const size_t vars = w.Begin(u"VarFileInfo", 0, kTextValue);
    const size_t translation = w.Begin(u"Translation", 4, kBinaryValue);
    w.Put16(kLanguage);
    w.Put16(kCodePage);
    w.End(translation);
    w.End(vars);
    w.End(root);
    return w.Take();
}
