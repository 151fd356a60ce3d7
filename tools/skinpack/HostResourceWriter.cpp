#include "tools/skinpack/HostResourceWriter.h"

#include <algorithm>
#include <cstdio>

#include "tools/skinpack/FileStreams.h"
#include "tools/skinpack/IconFile.h"
#include "tools/skinpack/PeChecksum.h"

namespace fs = std::filesystem;

namespace {

constexpr uint16_t kGuiSubsystem = 2;
constexpr uint16_t kManifestType = 24;
// The language the resource compiler gives resources by default (en-US).
constexpr uint16_t kDefaultLanguage = 0x0409;
constexpr uint64_t kMaxHostBytes = 256ull << 20;
// Far above any real icon (256x256 in a dozen depths is about 1 MiB).
constexpr uint64_t kMaxIconBytes = 16ull << 20;
// Windows maps the whole image; beyond 2 GiB it refuses to load it.
constexpr uint64_t kMaxImageBytes = 0x7FFF0000ull;

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

uint32_t Span(const PeSection& s) { return s.virtualSize != 0 ? s.virtualSize : s.rawSize; }

// Writes bytes and sums them for the checksum; remembers a failure.
class ChecksumWriter {
  public:
    explicit ChecksumWriter(std::FILE* file) : file_(file) {}
    void Put(const uint8_t* data, size_t size) {
        sum_.Add(data, size);
        ok_ = ok_ && std::fwrite(data, 1, size, file_) == size;
    }
    void Zeros(uint64_t count) {
        static const uint8_t zeros[4096] = {};
        for (; count > 0; count -= std::min<uint64_t>(count, sizeof zeros))
            Put(zeros, static_cast<size_t>(std::min<uint64_t>(count, sizeof zeros)));
    }
    bool ok() const { return ok_; }
    const PeChecksum& sum() const { return sum_; }

  private:
    std::FILE* file_;
    PeChecksum sum_;
    bool ok_ = true;
};

// Copies exactly `size` bytes of a file; false when it has changed size.
bool StreamFile(const fs::path& path, uint64_t size, ChecksumWriter& out, std::string& error) {
    std::FILE* in = OpenFile(path, "rb");
    if (!in) {
        error = "cannot open '" + path.u8string() + "'";
        return false;
    }
    std::vector<uint8_t> chunk(1 << 20);
    uint64_t left = size;
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        const size_t got = std::fread(chunk.data(), 1, want, in);
        if (got == 0) break;
        out.Put(chunk.data(), got);
        left -= got;
    }
    const bool whole = left == 0 && std::fgetc(in) == EOF;
    std::fclose(in);
    if (!whole) error = "'" + path.u8string() + "' changed while it was being embedded";
    return whole;
}

ResourceItem BytesItem(uint16_t type, uint16_t id, std::vector<uint8_t> bytes) {
    ResourceItem item;
    item.type = ResourceKey::Id(type);
    item.name = ResourceKey::Id(id);
    item.language = kDefaultLanguage;
    item.size = bytes.size();
    item.bytes = std::move(bytes);
    return item;
}

}  // namespace

bool HostResourceWriter::Open(const fs::path& host, std::string& error) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(host, ec);
    if (ec) {
        error = "cannot open host '" + host.u8string() + "'";
        return false;
    }
    if (size > kMaxHostBytes) {
        error = "'" + host.u8string() + "' is too large for an installer host";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(host, bytes, error)) return false;
    host_ = host;
    std::string why;
    if (!image_.Parse(std::move(bytes), why) || !resources_.Parse(image_, why) || !CheckHost(why)) {
        error = "'" + host.u8string() + "' is not an installer host: " + why;
        return false;
    }
    return true;
}

bool HostResourceWriter::CheckHost(std::string& error) {
    if (image_.subsystem() != kGuiSubsystem) {
        error = "not a Windows GUI program";
        return false;
    }
    const PeDirectory& security = image_.directories()[kPeDirSecurity];
    if (security.rva != 0 || security.size != 0) {
        error = "it is signed; embed into the unsigned host and sign the installer afterwards";
        return false;
    }
    if (image_.pointerToSymbols() != 0) {
        error = "it carries a symbol table (use the stripped host)";
        return false;
    }
    if (!resources_.Has(ResourceKey::Id(kManifestType), ResourceKey::Id(1))) {
        error = "it has no manifest resource";
        return false;
    }
    return FindLayout(error);
}

// The resource section may grow only if nothing but the relocations follows
// it, in the address space and in the file; both are moved behind it.
bool HostResourceWriter::FindLayout(std::string& error) {
    const std::vector<PeSection>& sections = image_.sections();
    const int found = image_.SectionOf(image_.directories()[kPeDirResource].rva);
    if (found < 0) {
        error = "it has no resource section";
        return false;
    }
    rsrc_ = static_cast<size_t>(found);
    const size_t after = sections.size() - rsrc_ - 1;
    const PeDirectory& reloc = image_.directories()[kPeDirBaseReloc];
    hasReloc_ = after == 1 && reloc.rva != 0 && image_.SectionOf(reloc.rva) == found + 1;
    if (after > (hasReloc_ ? 1u : 0u)) {
        error = "section '" + sections[rsrc_ + 1].name + "' follows the resource section";
        return false;
    }
    for (size_t i = 0; i < image_.directories().size(); ++i) {
        const PeDirectory& d = image_.directories()[i];
        if (i == kPeDirResource || i == kPeDirBaseReloc || i == kPeDirSecurity || d.rva == 0)
            continue;
        if (image_.SectionOf(d.rva) >= found) {
            error = "data directory " + std::to_string(i) + " lies in the resource section";
            return false;
        }
    }
    const PeSection& r = sections[rsrc_];
    for (size_t i = 0; i < rsrc_; ++i)
        if (sections[i].rawSize != 0 &&
            uint64_t{sections[i].rawPointer} + sections[i].rawSize > r.rawPointer) {
            error = "section '" + sections[i].name + "' lies behind the resources in the file";
            return false;
        }
    if (r.rawSize == 0 || (hasReloc_ && sections[rsrc_ + 1].rawPointer < r.rawPointer)) {
        error = "the resource section has no place in the file";
        return false;
    }
    if (image_.bytes().size() != image_.RawEnd()) {
        error = "it has data after its last section";
        return false;
    }
    return true;
}

bool HostResourceWriter::Put(const std::u16string& type, uint16_t id, const fs::path& file,
                             std::string& error) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    if (ec || !fs::is_regular_file(file, ec)) {
        error = "cannot open '" + file.u8string() + "'";
        return false;
    }
    if (size > kMaxImageBytes) {
        error = "'" + file.u8string() + "' is too large to embed";
        return false;
    }
    ResourceItem item;
    item.type = ResourceKey::Name(type);
    item.name = ResourceKey::Id(id);
    item.language = kDefaultLanguage;
    item.file = file;
    item.size = size;
    resources_.Put(std::move(item));
    return true;
}

bool HostResourceWriter::PutIcon(const fs::path& ico, std::string& error) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(ico, ec);
    if (ec || !fs::is_regular_file(ico, ec)) {
        error = "cannot open '" + ico.u8string() + "'";
        return false;
    }
    std::vector<uint8_t> bytes;
    IconFile icon;
    std::string why = "it is larger than any icon";
    if (size > kMaxIconBytes || !ReadWholeFile(ico, bytes, why) || !icon.Parse(bytes, why)) {
        error = "'" + ico.u8string() + "' is not a usable icon: " + why;
        return false;
    }
    // The host's own icons go, images and groups alike: the first group in
    // the file is the one the shell shows, and no group may name an image
    // that is no longer there.
    resources_.RemoveType(ResourceKey::Id(kIconType));
    resources_.RemoveType(ResourceKey::Id(kGroupIconType));
    for (size_t i = 0; i < icon.images().size(); ++i)
        resources_.Put(BytesItem(kIconType, static_cast<uint16_t>(kAppIconResource + i),
                                 icon.images()[i].bytes));
    resources_.Put(
        BytesItem(kGroupIconType, kAppIconResource, icon.GroupDirectory(kAppIconResource)));
    return true;
}

void HostResourceWriter::PutVersion(std::vector<uint8_t> bytes) {
    resources_.RemoveType(ResourceKey::Id(kVersionType));
    resources_.Put(BytesItem(kVersionType, kVersionResource, std::move(bytes)));
}

bool HostResourceWriter::Write(const fs::path& out, std::string& error) const {
    fs::path temp = out;
    temp += ".part";
    std::FILE* file = OpenFile(temp, "wb+");
    if (!file) {
        error = "cannot create '" + temp.u8string() + "'";
        return false;
    }
    bool ok = WriteTo(file, out, error);
    if (std::fclose(file) != 0 && ok) {
        error = "cannot write '" + out.u8string() + "'";
        ok = false;
    }
    std::error_code ec;
    // Runnable where the host was (the temporary file has default rights).
    if (ok) fs::permissions(temp, fs::status(host_, ec).permissions(), ec);
    if (ok) fs::rename(temp, out, ec);
    if (ok && ec) {
        error = "cannot write '" + out.u8string() + "'";
        ok = false;
    }
    if (!ok) fs::remove(temp, ec);
    return ok;
}

// Everything before the resource section's data, with the headers changed
// for the new section sizes; empty when the result would not load.
std::vector<uint8_t> HostResourceWriter::NewHeaders(const ResourceLayout& layout,
                                                    std::string& error) const {
    const std::vector<PeSection>& sections = image_.sections();
    const PeSection& r = sections[rsrc_];
    const uint64_t rawSize = AlignUp(layout.size, image_.fileAlignment());
    uint64_t imageEnd = uint64_t{r.virtualAddress} + layout.size;
    std::vector<uint8_t> head(image_.bytes().begin(), image_.bytes().begin() + r.rawPointer);
    if (hasReloc_) {
        const PeSection& s = sections[rsrc_ + 1];
        const uint64_t address = AlignUp(imageEnd, image_.sectionAlignment());
        const PeDirectory& reloc = image_.directories()[kPeDirBaseReloc];
        PeWrite32(&head[s.headerOffset + 12], static_cast<uint32_t>(address));
        PeWrite32(&head[s.headerOffset + 20], static_cast<uint32_t>(r.rawPointer + rawSize));
        PeWrite32(&head[image_.directoryOffset(kPeDirBaseReloc)],
                  static_cast<uint32_t>(address + (reloc.rva - s.virtualAddress)));
        imageEnd = address + Span(s);
    }
    imageEnd = AlignUp(imageEnd, image_.sectionAlignment());
    if (imageEnd > kMaxImageBytes) {
        error = "the installer would be larger than Windows loads (2 GiB)";
        return {};
    }
    PeWrite32(&head[r.headerOffset + 8], static_cast<uint32_t>(layout.size));
    PeWrite32(&head[r.headerOffset + 16], static_cast<uint32_t>(rawSize));
    PeWrite32(&head[image_.directoryOffset(kPeDirResource) + 4],
              static_cast<uint32_t>(layout.size));
    PeWrite32(&head[image_.sizeOfImageOffset()], static_cast<uint32_t>(imageEnd));
    if (r.characteristics & kPeScnInitializedData) {
        uint8_t* field = &head[image_.sizeOfInitializedDataOffset()];
        PeWrite32(field, static_cast<uint32_t>(PeRead32(field) - r.rawSize + rawSize));
    }
    // No time stamp, so equal inputs give equal bytes; the checksum is
    // filled in once the whole file has been summed.
    PeWrite32(&head[image_.timeStampOffset()], 0);
    PeWrite32(&head[image_.checksumOffset()], 0);
    return head;
}

bool HostResourceWriter::WriteTo(std::FILE* file, const fs::path& out, std::string& error) const {
    const PeSection& r = image_.sections()[rsrc_];
    ResourceLayout layout;
    if (!resources_.Layout(r.virtualAddress, layout, error)) return false;
    const std::vector<uint8_t> head = NewHeaders(layout, error);
    if (head.empty()) return false;
    ChecksumWriter writer(file);
    writer.Put(head.data(), head.size());
    writer.Put(layout.head.data(), layout.head.size());
    uint64_t at = layout.head.size();
    for (size_t k = 0; k < layout.order.size(); ++k) {
        const ResourceItem& item = resources_.items()[layout.order[k]];
        writer.Zeros(layout.offsets[k] - at);
        if (item.file.empty())
            writer.Put(item.bytes.data(), item.bytes.size());
        else if (!StreamFile(item.file, item.size, writer, error))
            return false;
        at = layout.offsets[k] + item.size;
    }
    writer.Zeros(AlignUp(at, image_.fileAlignment()) - at);
    if (hasReloc_) {
        const PeSection& s = image_.sections()[rsrc_ + 1];
        writer.Put(image_.bytes().data() + s.rawPointer, s.rawSize);
    }
    uint8_t checksum[4];
    PeWrite32(checksum, writer.sum().Finish());
    const bool ok = writer.ok() &&
                    std::fseek(file, static_cast<long>(image_.checksumOffset()), SEEK_SET) == 0 &&
                    std::fwrite(checksum, 1, 4, file) == 4;
    if (!ok) error = "cannot write '" + out.u8string() + "'";
    return ok;
}
