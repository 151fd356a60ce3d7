#include "tools/skinpack/ArchiveInspector.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "7zAlloc.h"
#include "7zCrc.h"
#include "package/PackageFormat.h"
#include "package/PayloadMask.h"
#include "tools/skinpack/FileStreams.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Solid blocks are decoded whole into one buffer of tens of megabytes; where
// the system offers huge pages for it, touching it costs far fewer faults.
void* BlockAlloc(ISzAllocPtr, size_t size) {
#ifndef _WIN32
    constexpr size_t kHugePage = size_t{2} << 20;
    if (size >= 2 * kHugePage) {
        void* p = nullptr;
        if (posix_memalign(&p, kHugePage, size) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
        madvise(p, size, MADV_HUGEPAGE);
#endif
        return p;
    }
#endif
    return size ? std::malloc(size) : nullptr;
}

void BlockFree(ISzAllocPtr, void* address) { std::free(address); }

const ISzAlloc kAlloc = {BlockAlloc, BlockFree};
const ISzAlloc kAllocTemp = {SzAllocTemp, SzFreeTemp};
constexpr size_t kLookAheadBytes = 1 << 14;

bool IsSignatureStart(uint8_t a, uint8_t b) {
    // Besides "7z", the installer accepts two zero bytes in front of the
    // remaining signature bytes.
    return (a == '7' && b == 'z') || (a == 0 && b == 0);
}

std::u16string Normalised(std::u16string name) {
    for (char16_t& c : name) {
        if (c == u'/') c = u'\\';
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return name;
}

// Why a name (prefix already removed) would leave the install folder.
std::string Hostility(const std::u16string& name) {
    if (name.find(u':') != std::u16string::npos) return "holds ':' (drive or stream name)";
    const std::u16string n = Normalised(name);
    if (!n.empty() && n[0] == u'\\') return "is absolute";
    size_t start = 0;
    while (start <= n.size()) {
        const size_t end = std::min(n.find(u'\\', start), n.size());
        if (n.compare(start, end - start, u"..") == 0 && end - start == 2)
            return "climbs out with '..'";
        start = end + 1;
    }
    return {};
}

// The name an installer of the given architecture writes, or false when it
// skips the entry.
bool EffectiveName(std::u16string name, bool is64, std::u16string& out) {
    const std::u16string x86 = u"r_x86//", x64 = u"r_x64//";
    if (name.compare(0, 7, x86) == 0) {
        if (is64) return false;
        name.erase(0, 7);
    }
    if (name.compare(0, 7, x64) == 0) {
        if (!is64) return false;
        name.erase(0, 7);
    }
    out = name;
    return true;
}

}  // namespace

ArchiveInspector::ArchiveInspector() {
    CrcGenerateTable();
    SzArEx_Init(&db_);
    memory_.vt.Read = &ArchiveInspector::Read;
    memory_.vt.Seek = &ArchiveInspector::Seek;
}

ArchiveInspector::~ArchiveInspector() {
    Close();
    Unmap();
}

void ArchiveInspector::Unmap() {
#ifndef _WIN32
    if (mapping_) munmap(mapping_, mappingSize_);
#endif
    mapping_ = nullptr;
    mappingSize_ = 0;
}

void ArchiveInspector::Close() {
    if (opened_) SzArEx_Free(&db_, &kAlloc);
    SzArEx_Init(&db_);
    opened_ = false;
    entries_.clear();
}

SRes ArchiveInspector::Read(ISeekInStreamPtr p, void* buf, size_t* size) {
    auto* m = reinterpret_cast<MemoryStream*>(const_cast<ISeekInStream*>(p));
    const size_t n = m->pos < m->size ? std::min(*size, m->size - m->pos) : 0;
    if (n) std::memcpy(buf, m->data + m->pos, n);
    for (size_t i = m->pos; i < sizeof m->head && i < m->pos + n; ++i)
        static_cast<uint8_t*>(buf)[i - m->pos] = m->head[i];
    m->pos += n;
    *size = n;
    return SZ_OK;
}

SRes ArchiveInspector::Seek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin) {
    auto* m = reinterpret_cast<MemoryStream*>(const_cast<ISeekInStream*>(p));
    const Int64 base = origin == SZ_SEEK_SET   ? 0
                       : origin == SZ_SEEK_CUR ? static_cast<Int64>(m->pos)
                                               : static_cast<Int64>(m->size);
    const Int64 target = base + *pos;
    if (target < 0) return SZ_ERROR_PARAM;
    m->pos = static_cast<size_t>(target);
    *pos = target;
    return SZ_OK;
}

bool ArchiveInspector::Open(const std::filesystem::path& path, std::string& error) {
#ifndef _WIN32
    // Mapped, the archive is read straight from the page cache.
    Close();
    Unmap();
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            mapping_ = p;
            mappingSize_ = static_cast<size_t>(st.st_size);
        }
    }
    if (fd >= 0) ::close(fd);
    if (mapping_) return OpenData(static_cast<const uint8_t*>(mapping_), mappingSize_, error);
#endif
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    return OpenBytes(std::move(bytes), error);
}

bool ArchiveInspector::OpenBytes(std::vector<uint8_t> bytes, std::string& error) {
    Close();
    Unmap();
    bytes_ = std::move(bytes);
    return OpenData(bytes_.data(), bytes_.size(), error);
}

bool ArchiveInspector::OpenData(const uint8_t* data, size_t size, std::string& error) {
    masked_ = false;
    memory_.head[0] = size > 0 ? data[0] : 0;
    memory_.head[1] = size > 1 ? data[1] : 0;
    uint8_t* head = memory_.head;
    if (size >= kPayloadMaskedBytes && !IsSignatureStart(head[0], head[1]) &&
        IsSignatureStart(head[0] ^ kPayloadMask, head[1] ^ kPayloadMask)) {
        ApplyPayloadMask(head, sizeof memory_.head);
        masked_ = true;
    }
    if (head[0] == 0 && head[1] == 0) {
        head[0] = '7';
        head[1] = 'z';
    }
    memory_.data = data;
    memory_.size = size;
    memory_.pos = 0;
    lookBuffer_.assign(kLookAheadBytes, 0);
    LookToRead2_CreateVTable(&look_, False);
    look_.buf = lookBuffer_.data();
    look_.bufSize = lookBuffer_.size();
    look_.realStream = &memory_.vt;
    LookToRead2_INIT(&look_);
    const SRes res = SzArEx_Open(&db_, &look_.vt, &kAlloc, &kAllocTemp);
    if (res != SZ_OK) {
        SzArEx_Free(&db_, &kAlloc);
        SzArEx_Init(&db_);
        error = "cannot open the archive: " + DescribeResult(res);
        return false;
    }
    opened_ = true;
    std::vector<UInt16> name;
    for (UInt32 i = 0; i < db_.NumFiles; ++i) {
        name.resize(SzArEx_GetFileNameUtf16(&db_, i, nullptr));
        SzArEx_GetFileNameUtf16(&db_, i, name.data());
        ArchiveEntryInfo info;
        info.name.assign(name.begin(), name.end() - 1);
        info.folder = SzArEx_IsDir(&db_, i);
        info.size = SzArEx_GetFileSize(&db_, i);
        entries_.push_back(std::move(info));
    }
    return true;
}

bool ArchiveInspector::Test(std::string& error) {
    UInt32 blockIndex = 0xFFFFFFFF;
    Byte* block = nullptr;
    size_t blockSize = 0;
    SRes res = SZ_OK;
    UInt32 i = 0;
    for (; i < db_.NumFiles && res == SZ_OK; ++i) {
        if (SzArEx_IsDir(&db_, i)) continue;
        size_t offset = 0, size = 0;
        res = SzArEx_Extract(&db_, &look_.vt, i, &blockIndex, &block, &blockSize, &offset, &size,
                             &kAlloc, &kAllocTemp);
    }
    ISzAlloc_Free(&kAlloc, block);
    if (res != SZ_OK) {
        error = DescribeResult(res) + " in '" + Utf16ToUtf8(entries_[i - 1].name) + "'";
        return false;
    }
    return true;
}

std::vector<std::string> ArchiveInspector::InstallProblems() const {
    std::vector<std::string> problems;
    std::vector<std::string> perEntry(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        for (const std::u16string& prefix :
             {std::u16string(), std::u16string(u"r_x86//"), std::u16string(u"r_x64//")}) {
            if (!prefix.empty() && entries_[i].name.compare(0, 7, prefix) != 0) continue;
            const std::string why = Hostility(entries_[i].name.substr(prefix.size()));
            if (!why.empty() && perEntry[i].empty()) perEntry[i] = "the name " + why;
        }
    }
    // Installers create folders only for folder entries, never a file's parent.
    for (const bool is64 : {false, true}) {
        std::set<std::u16string> folders;
        for (size_t i = 0; i < entries_.size(); ++i) {
            std::u16string name;
            if (!perEntry[i].empty() || !EffectiveName(entries_[i].name, is64, name)) continue;
            name = Normalised(name);
            if (entries_[i].folder) {
                for (size_t at = name.find(u'\\'); at != std::u16string::npos;
                     at = name.find(u'\\', at + 1))
                    folders.insert(name.substr(0, at));
                folders.insert(name);
                continue;
            }
            const size_t slash = name.rfind(u'\\');
            if (slash != std::u16string::npos && !folders.count(name.substr(0, slash)))
                perEntry[i] = std::string("it comes before its folder, so the ") +
                              (is64 ? "64" : "32") + "-bit installer fails to write it";
        }
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        if (!perEntry[i].empty())
            problems.push_back("'" + Utf16ToUtf8(entries_[i].name) + "': " + perEntry[i]);
    return problems;
}

std::string ArchiveInspector::DescribeResult(int code) {
    switch (code) {
        case SZ_OK:
            return "ok";
        case SZ_ERROR_DATA:
            return "damaged data";
        case SZ_ERROR_MEM:
            return "out of memory";
        case SZ_ERROR_CRC:
            return "CRC error";
        case SZ_ERROR_UNSUPPORTED:
            return "unsupported method or version";
        case SZ_ERROR_INPUT_EOF:
            return "unexpected end of the archive";
        case SZ_ERROR_READ:
            return "read error";
        case SZ_ERROR_ARCHIVE:
            return "damaged header";
        case SZ_ERROR_NO_ARCHIVE:
            return "not a 7z archive";
        default:
            return "error " + std::to_string(code);
    }
}
