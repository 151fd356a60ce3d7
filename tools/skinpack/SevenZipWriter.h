#pragma once
// Writes a 7z archive of payload entries: LZMA (not LZMA2, whose progress the
// installer cannot follow), solid blocks of consecutive files, entries in the
// given order, an LZMA-compressed header, and optionally the payload mask on
// the first two bytes. Files are streamed from disk; memory stays small.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skinpack/PayloadTree.h"

struct ArchiveOptions {
    int level = 5;  // LZMA level 0-9
    // Unpacked bytes per solid block. The installer decodes the next blocks
    // on two threads while it writes the files of the last one, holding at
    // most the largest block and a few MB: small blocks keep all busy.
    uint64_t blockLimit = uint64_t{4} << 20;
    bool mask = true;  // XOR the first two bytes with the payload mask
    int threads = 2;   // match finder threads, 1 or 2
};

struct ArchiveStats {
    uint64_t archiveBytes = 0;
    uint64_t unpackedBytes = 0;
    uint64_t largestBlock = 0;  // unpacked bytes of the largest solid block
    uint32_t blocks = 0;
    uint32_t files = 0;
    uint32_t folders = 0;
};

class SevenZipWriter {
  public:
    explicit SevenZipWriter(const ArchiveOptions& options) : options_(options) {}

    // Writes `items` to `out` through a temporary file renamed at the end, so
    // a failure never leaves a partial archive under the final name.
    bool Write(const std::vector<PayloadItem>& items, const std::filesystem::path& out,
               std::string& error);

    const ArchiveStats& stats() const { return stats_; }

  private:
    struct Block {
        uint64_t packBytes = 0;
        uint64_t unpackBytes = 0;
        std::vector<uint64_t> sizes;
        std::vector<uint32_t> crcs;
        uint8_t props[5] = {};
    };

    bool WriteTo(std::FILE* file, const std::vector<PayloadItem>& items, std::string& error);
    bool EncodeBlock(std::FILE* file, const std::vector<const PayloadItem*>& files, Block& block,
                     std::string& error);
    std::vector<uint8_t> BuildHeader(const std::vector<PayloadItem>& items) const;
    bool WriteHeader(std::FILE* file, const std::vector<uint8_t>& header, uint64_t dataBytes,
                     std::string& error);

    ArchiveOptions options_;
    ArchiveStats stats_;
    std::vector<Block> blocks_;
};
