#include "SevenZipWriter.h"

#include "7zCrc.h"
#include "tools/skinpack/SevenZipHeader.h"
#include "package/PayloadMask.h"

using sevenzip::HeaderBuffer;

namespace {

uint32_t Crc(const void* data, size_t size) {
    CrcGenerateTable();
    return CrcCalc(data, size);
}

}  // namespace

void SevenZipWriter::AddFolder(const std::wstring& name) { items_.push_back({name, true, {}}); }

void SevenZipWriter::AddFile(const std::wstring& name, const std::string& data) {
    items_.push_back({name, false, data});
}

std::string SevenZipWriter::Build(int badCrcFile) const {
    std::string packed;
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
        crcs.push_back(Crc(item.data.data(), item.data.size()) ^
                       (fileIndex == badCrcFile ? 1u : 0u));
    }

    HeaderBuffer header;
    header.Byte(sevenzip::kHeader);
    if (!streams.empty()) {
        header.Byte(sevenzip::kMainStreamsInfo);
        header.Byte(sevenzip::kPackInfo);
        header.Number(0);
        header.Number(streams.size());
        header.Byte(sevenzip::kSize);
        for (const Item* s : streams) header.Number(s->data.size());
        header.Byte(sevenzip::kEnd);
        header.Byte(sevenzip::kUnpackInfo);
        header.Byte(sevenzip::kFolder);
        header.Number(streams.size());
        header.Byte(0);  // not external
        // One coder each: id size 1, the copy method (id 0).
        for (size_t i = 0; i < streams.size(); ++i) header.Bytes("\x01\x01\x00", 3);
        header.Byte(sevenzip::kCodersUnpackSize);
        for (const Item* s : streams) header.Number(s->data.size());
        header.Byte(sevenzip::kEnd);
        header.Byte(sevenzip::kSubStreamsInfo);
        header.Byte(sevenzip::kCrc);
        header.Byte(1);  // all defined
        for (uint32_t c : crcs) header.Uint32(c);
        header.Byte(sevenzip::kEnd);
        header.Byte(sevenzip::kEnd);
    }
    header.Byte(sevenzip::kFilesInfo);
    header.Number(items_.size());
    if (streams.size() != items_.size()) {
        HeaderBuffer es, ef;
        es.BitVector(emptyStream);
        ef.BitVector(emptyFile);
        header.Property(sevenzip::kEmptyStream, es);
        header.Property(sevenzip::kEmptyFile, ef);
    }
    HeaderBuffer names;
    names.Byte(0);  // not external
    for (const Item& item : items_) {
        for (wchar_t c : item.name) {
            names.Byte(static_cast<uint8_t>(c & 0xFF));
            names.Byte(static_cast<uint8_t>(c >> 8));
        }
        names.Byte(0);
        names.Byte(0);
    }
    header.Property(sevenzip::kName, names);
    header.Byte(sevenzip::kEnd);
    header.Byte(sevenzip::kEnd);

    const std::vector<uint8_t>& h = header.bytes();
    const std::vector<uint8_t> start =
        sevenzip::StartHeader(packed.size(), h.size(), Crc(h.data(), h.size()));
    return std::string(start.begin(), start.end()) + packed + std::string(h.begin(), h.end());
}

std::string MaskPayload(std::string archive) {
    ApplyPayloadMask(reinterpret_cast<uint8_t*>(&archive[0]), archive.size());
    return archive;
}
