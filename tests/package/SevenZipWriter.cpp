#include "SevenZipWriter.h"

#include "7zCrc.h"
#include "package/PayloadMask.h"

namespace {

enum : uint8_t {
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
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kName = 0x11,
};

uint32_t Crc(const std::string& bytes) {
    CrcGenerateTable();
    return CrcCalc(bytes.data(), bytes.size());
}

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

void Put64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out += static_cast<char>(v >> (8 * i));
}

void PutNumber(std::string& out, uint64_t v) {
    uint8_t first = 0, mask = 0x80;
    int i = 0;
    for (; i < 8; ++i) {
        if (v < (uint64_t{1} << (7 * (i + 1)))) {
            first |= static_cast<uint8_t>(v >> (8 * i));
            break;
        }
        first |= mask;
        mask >>= 1;
    }
    out += static_cast<char>(first);
    for (; i > 0; --i) {
        out += static_cast<char>(v);
        v >>= 8;
    }
}

std::string Bits(const std::vector<bool>& bits) {
    std::string out((bits.size() + 7) / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i]) out[i / 8] = static_cast<char>(out[i / 8] | (0x80 >> (i % 8)));
    return out;
}

}  // namespace

void SevenZipWriter::AddFolder(const std::wstring& name) { items_.push_back({name, true, {}}); }

void SevenZipWriter::AddFile(const std::wstring& name, const std::string& data) {
    items_.push_back({name, false, data});
}

std::string SevenZipWriter::Build(int badCrcFile) const {
    std::string packed, header;
    std::vector<const Item*> streams;
    std::vector<uint32_t> crcs;
    std::vector<bool> emptyStream, emptyFile;
    int fileIndex = -1;
    for (const Item& item : items_) {
        if (!item.folder) ++fileIndex;
        const bool hasStream = !item.folder && !item.data.empty();
        emptyStream.push_back(!hasStream);
        if (!hasStream) emptyFile.push_back(!item.folder);
        if (!hasStream) continue;
        streams.push_back(&item);
        packed += item.data;
        crcs.push_back(Crc(item.data) ^ (fileIndex == badCrcFile ? 1u : 0u));
    }

    header += static_cast<char>(kHeader);
    if (!streams.empty()) {
        header += static_cast<char>(kMainStreamsInfo);
        header += static_cast<char>(kPackInfo);
        PutNumber(header, 0);
        PutNumber(header, streams.size());
        header += static_cast<char>(kSize);
        for (const Item* s : streams) PutNumber(header, s->data.size());
        header += static_cast<char>(kEnd);
        header += static_cast<char>(kUnpackInfo);
        header += static_cast<char>(kFolder);
        PutNumber(header, streams.size());
        header += '\0';  // not external
        for (size_t i = 0; i < streams.size(); ++i) header += std::string("\x01\x01\x00", 3);
        header += static_cast<char>(kCodersUnpackSize);
        for (const Item* s : streams) PutNumber(header, s->data.size());
        header += static_cast<char>(kEnd);
        header += static_cast<char>(kSubStreamsInfo);
        header += static_cast<char>(kCrc);
        header += '\x01';  // all defined
        for (uint32_t c : crcs) Put32(header, c);
        header += static_cast<char>(kEnd);
        header += static_cast<char>(kEnd);
    }
    header += static_cast<char>(kFilesInfo);
    PutNumber(header, items_.size());
    if (streams.size() != items_.size()) {
        const std::string es = Bits(emptyStream), ef = Bits(emptyFile);
        header += static_cast<char>(kEmptyStream);
        PutNumber(header, es.size());
        header += es;
        header += static_cast<char>(kEmptyFile);
        PutNumber(header, ef.size());
        header += ef;
    }
    std::string names;
    for (const Item& item : items_) {
        for (wchar_t c : item.name) {
            names += static_cast<char>(c & 0xFF);
            names += static_cast<char>(c >> 8);
        }
        names += std::string(2, '\0');
    }
    header += static_cast<char>(kName);
    PutNumber(header, names.size() + 1);
    header += '\0';  // not external
    header += names;
    header += static_cast<char>(kEnd);
    header += static_cast<char>(kEnd);

    std::string tail;
    Put64(tail, packed.size());
    Put64(tail, header.size());
    Put32(tail, Crc(header));
    std::string archive("7z\xBC\xAF\x27\x1C\x00\x04", 8);
    Put32(archive, Crc(tail));
    return archive + tail + packed + header;
}

std::string MaskPayload(std::string archive) {
    ApplyPayloadMask(reinterpret_cast<uint8_t*>(&archive[0]), archive.size());
    return archive;
}
