#include "tools/skinpack/SevenZipWriter.h"

#include <algorithm>
#include <memory>

#include "7zCrc.h"
#include "Alloc.h"
#include "LzmaEnc.h"
#include "package/PayloadMask.h"
#include "tools/skinpack/FileStreams.h"
#include "tools/skinpack/SevenZipHeader.h"

namespace fs = std::filesystem;
using sevenzip::HeaderBuffer;

namespace {

// The installer reads its payload with 32-bit positions.
constexpr uint64_t kMaxArchiveBytes = 0xFFFFFFFFull;

struct EncoderDeleter {
    void operator()(CLzmaEnc* enc) const { LzmaEnc_Destroy(enc, &g_Alloc, &g_BigAlloc); }
};
using EncoderPtr = std::unique_ptr<CLzmaEnc, EncoderDeleter>;

// An encoder set up for `level` and sized for `dataBytes` of input.
EncoderPtr MakeEncoder(int level, int threads, uint64_t dataBytes, uint8_t (&props)[5],
                       std::string& error) {
    EncoderPtr enc(LzmaEnc_Create(&g_Alloc));
    if (!enc) {
        error = "out of memory";
        return nullptr;
    }
    CLzmaEncProps p;
    LzmaEncProps_Init(&p);
    p.level = level;
    p.numThreads = threads;
    p.reduceSize = dataBytes;  // no dictionary larger than the data
    SizeT propsSize = sizeof props;
    if (LzmaEnc_SetProps(enc.get(), &p) != SZ_OK ||
        LzmaEnc_WriteProperties(enc.get(), props, &propsSize) != SZ_OK || propsSize != 5) {
        error = "the LZMA encoder refused its settings";
        return nullptr;
    }
    return enc;
}

// Compresses a buffer in memory (the header).
bool EncodeBuffer(const std::vector<uint8_t>& data, int level, std::vector<uint8_t>& out,
                  uint8_t (&props)[5]) {
    std::string error;
    EncoderPtr enc = MakeEncoder(level, 1, data.size(), props, error);
    if (!enc) return false;
    SizeT outSize = data.size() + data.size() / 2 + 1024;
    out.resize(outSize);
    const SRes res = LzmaEnc_MemEncode(enc.get(), out.data(), &outSize, data.data(), data.size(), 0,
                                       nullptr, &g_Alloc, &g_BigAlloc);
    if (res != SZ_OK) return false;
    out.resize(outSize);
    return true;
}

}  // namespace

bool SevenZipWriter::Write(const std::vector<PayloadItem>& items, const fs::path& out,
                           std::string& error) {
    CrcGenerateTable();
    stats_ = {};
    blocks_.clear();
    fs::path temp = out;
    temp += ".part";
    std::FILE* file = OpenFile(temp, "wb");
    if (!file) {
        error = "cannot create '" + temp.u8string() + "'";
        return false;
    }
    bool ok = WriteTo(file, items, error);
    if (std::fclose(file) != 0 && ok) {
        error = "cannot write '" + temp.u8string() + "'";
        ok = false;
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temp, out, ec);
        if (ec) {
            error = "cannot rename '" + temp.u8string() + "' to '" + out.u8string() +
                    "': " + ec.message();
            ok = false;
        }
    }
    if (!ok) fs::remove(temp, ec);
    return ok;
}

bool SevenZipWriter::WriteTo(std::FILE* file, const std::vector<PayloadItem>& items,
                             std::string& error) {
    // The start header is written last, once the header's place is known.
    const uint8_t zeros[sevenzip::kStartHeaderSize] = {};
    if (std::fwrite(zeros, 1, sizeof zeros, file) != sizeof zeros) {
        error = "cannot write the archive";
        return false;
    }
    // Consecutive files with data form solid blocks of at most blockLimit
    // unpacked bytes (a larger file gets a block of its own).
    std::vector<const PayloadItem*> pending;
    uint64_t pendingBytes = 0, dataBytes = 0;
    auto flush = [&]() {
        if (pending.empty()) return true;
        Block block;
        if (!EncodeBlock(file, pending, block, error)) return false;
        dataBytes += block.packBytes;
        blocks_.push_back(std::move(block));
        pending.clear();
        pendingBytes = 0;
        if (sevenzip::kStartHeaderSize + dataBytes > kMaxArchiveBytes) {
            error = "the archive would exceed 4 GiB, more than an installer can carry";
            return false;
        }
        return true;
    };
    for (const PayloadItem& item : items) {
        if (item.folder) {
            ++stats_.folders;
            continue;
        }
        ++stats_.files;
        if (item.size == 0) continue;
        if (!pending.empty() && pendingBytes + item.size > options_.blockLimit && !flush())
            return false;
        pending.push_back(&item);
        pendingBytes += item.size;
    }
    if (!flush()) return false;
    return WriteHeader(file, BuildHeader(items), dataBytes, error);
}

bool SevenZipWriter::EncodeBlock(std::FILE* file, const std::vector<const PayloadItem*>& files,
                                 Block& block, std::string& error) {
    std::vector<SourceFile> sources;
    for (const PayloadItem* item : files) {
        sources.push_back({item->source, item->size});
        block.sizes.push_back(item->size);
        block.unpackBytes += item->size;
    }
    EncoderPtr enc =
        MakeEncoder(options_.level, options_.threads, block.unpackBytes, block.props, error);
    if (!enc) return false;
    FileSequence input(std::move(sources));
    FileSink output(file);
    const SRes res =
        LzmaEnc_Encode(enc.get(), output.stream(), input.stream(), nullptr, &g_Alloc, &g_BigAlloc);
    if (!input.error().empty()) {
        error = input.error();
        return false;
    }
    if (res != SZ_OK || output.failed()) {
        error = res == SZ_ERROR_MEM
                    ? "out of memory while compressing"
                    : "cannot write the archive (LZMA error " + std::to_string(res) + ")";
        return false;
    }
    if (input.crcs().size() != files.size()) {
        error = "the compressor stopped before the end of its input";
        return false;
    }
    block.crcs = input.crcs();
    block.packBytes = output.written();
    stats_.unpackedBytes += block.unpackBytes;
    stats_.largestBlock = std::max(stats_.largestBlock, block.unpackBytes);
    return true;
}

std::vector<uint8_t> SevenZipWriter::BuildHeader(const std::vector<PayloadItem>& items) const {
    HeaderBuffer h;
    h.Byte(sevenzip::kHeader);
    if (!blocks_.empty()) {
        h.Byte(sevenzip::kMainStreamsInfo);
        h.Byte(sevenzip::kPackInfo);
        h.Number(0);  // the packed streams start right after the start header
        h.Number(blocks_.size());
        h.Byte(sevenzip::kSize);
        for (const Block& b : blocks_) h.Number(b.packBytes);
        h.Byte(sevenzip::kEnd);

        h.Byte(sevenzip::kUnpackInfo);
        h.Byte(sevenzip::kFolder);
        h.Number(blocks_.size());
        h.Byte(0);  // folders inline
        for (const Block& b : blocks_) h.LzmaFolder(b.props);
        h.Byte(sevenzip::kCodersUnpackSize);
        for (const Block& b : blocks_) h.Number(b.unpackBytes);
        h.Byte(sevenzip::kEnd);

        h.Byte(sevenzip::kSubStreamsInfo);
        const bool allSingle = std::all_of(blocks_.begin(), blocks_.end(),
                                           [](const Block& b) { return b.sizes.size() == 1; });
        if (!allSingle) {
            h.Byte(sevenzip::kNumUnpackStream);
            for (const Block& b : blocks_) h.Number(b.sizes.size());
            h.Byte(sevenzip::kSize);
            for (const Block& b : blocks_)
                for (size_t i = 0; i + 1 < b.sizes.size(); ++i) h.Number(b.sizes[i]);
        }
        h.Byte(sevenzip::kCrc);
        h.Byte(1);  // all defined
        for (const Block& b : blocks_)
            for (uint32_t crc : b.crcs) h.Uint32(crc);
        h.Byte(sevenzip::kEnd);
        h.Byte(sevenzip::kEnd);
    }

    if (!items.empty()) {
        h.Byte(sevenzip::kFilesInfo);
        h.Number(items.size());
        std::vector<bool> emptyStream, emptyFile;
        for (const PayloadItem& item : items) {
            const bool empty = item.folder || item.size == 0;
            emptyStream.push_back(empty);
            if (empty) emptyFile.push_back(!item.folder);
        }
        if (!emptyFile.empty()) {
            HeaderBuffer bits;
            bits.BitVector(emptyStream);
            h.Property(sevenzip::kEmptyStream, bits);
            if (std::find(emptyFile.begin(), emptyFile.end(), true) != emptyFile.end()) {
                HeaderBuffer fileBits;
                fileBits.BitVector(emptyFile);
                h.Property(sevenzip::kEmptyFile, fileBits);
            }
        }
        HeaderBuffer names;
        names.Byte(0);  // inline
        for (const PayloadItem& item : items) {
            for (char16_t c : item.name) {
                names.Byte(static_cast<uint8_t>(c & 0xFF));
                names.Byte(static_cast<uint8_t>(c >> 8));
            }
            names.Byte(0);
            names.Byte(0);
        }
        h.Property(sevenzip::kName, names);
        HeaderBuffer attributes;
        attributes.Byte(1);  // all defined
        attributes.Byte(0);  // inline
        for (const PayloadItem& item : items)
            attributes.Uint32(item.folder ? sevenzip::kAttributeDirectory
                                          : sevenzip::kAttributeArchive);
        h.Property(sevenzip::kWinAttributes, attributes);
        h.Byte(sevenzip::kEnd);
    }
    h.Byte(sevenzip::kEnd);
    return h.bytes();
}

// The header goes compressed when that is smaller, as an encoded header whose
// one LZMA folder follows the data.
bool SevenZipWriter::WriteHeader(std::FILE* file, const std::vector<uint8_t>& header,
                                 uint64_t dataBytes, std::string& error) {
    std::vector<uint8_t> next = header;
    std::vector<uint8_t> packed;
    uint8_t props[5];
    uint64_t headerOffset = dataBytes;
    if (blocks_.empty() && header.size() <= 2) {
        next.clear();  // nothing at all: an empty archive has no header
    } else if (EncodeBuffer(header, options_.level, packed, props)) {
        HeaderBuffer info;
        info.Byte(sevenzip::kEncodedHeader);
        info.Byte(sevenzip::kPackInfo);
        info.Number(dataBytes);
        info.Number(1);
        info.Byte(sevenzip::kSize);
        info.Number(packed.size());
        info.Byte(sevenzip::kEnd);
        info.Byte(sevenzip::kUnpackInfo);
        info.Byte(sevenzip::kFolder);
        info.Number(1);
        info.Byte(0);
        info.LzmaFolder(props);
        info.Byte(sevenzip::kCodersUnpackSize);
        info.Number(header.size());
        info.Byte(sevenzip::kCrc);
        info.Byte(1);
        info.Uint32(CrcCalc(header.data(), header.size()));
        info.Byte(sevenzip::kEnd);
        info.Byte(sevenzip::kEnd);
        if (packed.size() + info.size() < header.size()) {
            next = info.bytes();
            headerOffset = dataBytes + packed.size();
        } else {
            packed.clear();
        }
    }
    const uint64_t total = sevenzip::kStartHeaderSize + headerOffset + next.size();
    if (total > kMaxArchiveBytes) {
        error = "the archive would exceed 4 GiB, more than an installer can carry";
        return false;
    }
    std::vector<uint8_t> start =
        sevenzip::StartHeader(headerOffset, next.size(), CrcCalc(next.data(), next.size()));
    if (options_.mask) ApplyPayloadMask(start.data(), start.size());
    const bool ok = std::fwrite(packed.data(), 1, packed.size(), file) == packed.size() &&
                    std::fwrite(next.data(), 1, next.size(), file) == next.size() &&
                    std::fseek(file, 0, SEEK_SET) == 0 &&
                    std::fwrite(start.data(), 1, start.size(), file) == start.size();
    if (!ok) {
        error = "cannot write the archive";
        return false;
    }
    stats_.archiveBytes = total;
    stats_.blocks = static_cast<uint32_t>(blocks_.size());
    return true;
}
