#include "tools/skinpack/ArchiveInspector.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "7zAlloc.h"
#include "7zCrc.h"
#include "package/PackageFormat.h"
#include "package/PayloadMask.h"
#include "tools/skinpack/FileStreams.h"

namespace {

const ISzAlloc kAlloc = {SzAlloc, SzFree};
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

ArchiveInspector::~ArchiveInspector() { Close(); }

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
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    return OpenBytes(std::move(bytes), error);
}

bool ArchiveInspector::OpenBytes(std::vector<uint8_t> bytes, std::string& error) {
    Close();
    bytes_ = std::move(bytes);
    masked_ = false;
    if (bytes_.size() >= kPayloadMaskedBytes && !IsSignatureStart(bytes_[0], bytes_[1]) &&
        IsSignatureStart(bytes_[0] ^ kPayloadMask, bytes_[1] ^ kPayloadMask)) {
        ApplyPayloadMask(bytes_.data(), bytes_.size());
        masked_ = true;
    }
    if (bytes_.size() >= 2 && bytes_[0] == 0 && bytes_[1] == 0) {
        bytes_[0] = '7';
        bytes_[1] = 'z';
    }
    memory_.data = bytes_.data();
    memory_.size = bytes_.size();
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
