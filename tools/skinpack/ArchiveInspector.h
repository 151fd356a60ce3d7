#pragma once
// Reads a payload archive, masked as an installer embeds it or plain, with the
// LZMA SDK's 7z decoder (the one the installer is built on): lists its
// entries, decodes every file checking its CRC, and points out entries that
// an installer would refuse or fail to write.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "7z.h"

struct ArchiveEntryInfo {
    std::u16string name;
    bool folder = false;
    uint64_t size = 0;
};

class ArchiveInspector {
  public:
    ArchiveInspector();
    ~ArchiveInspector();
    ArchiveInspector(const ArchiveInspector&) = delete;
    ArchiveInspector& operator=(const ArchiveInspector&) = delete;

    // Reads and opens the archive; false with a message when it is not one.
    bool Open(const std::filesystem::path& path, std::string& error);
    // Opens archive bytes held in memory (the inspector keeps a copy).
    bool OpenBytes(std::vector<uint8_t> bytes, std::string& error);

    bool masked() const { return masked_; }
    uint32_t blocks() const { return db_.db.NumFolders; }
    const std::vector<ArchiveEntryInfo>& entries() const { return entries_; }

    // Decodes every file, one solid block at a time, checking CRCs. False
    // with a message naming the first entry that failed.
    bool Test(std::string& error);

    // Entries an installer would refuse (names leaving the install folder)
    // or could not write (a file listed before its folder), one line each.
    std::vector<std::string> InstallProblems() const;

    // The text of a decoder result code.
    static std::string DescribeResult(int code);

  private:
    // The archive bytes, read in place; the first two are presented as
    // `head` (unmasked, signature restored) without touching the bytes.
    struct MemoryStream {
        ISeekInStream vt;  // first member: the decoder hands back its address
        const uint8_t* data = nullptr;
        size_t size = 0;
        size_t pos = 0;
        uint8_t head[2] = {};
    };
    static SRes Read(ISeekInStreamPtr p, void* buf, size_t* size);
    static SRes Seek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin);
    void Close();
    void Unmap();
    bool OpenData(const uint8_t* data, size_t size, std::string& error);

    std::vector<uint8_t> bytes_;
    void* mapping_ = nullptr;  // the file mapped read-only, where mapping is available
    size_t mappingSize_ = 0;
    bool masked_ = false;
    bool opened_ = false;
    MemoryStream memory_;
    CLookToRead2 look_;
    std::vector<uint8_t> lookBuffer_;
    CSzArEx db_;
    std::vector<ArchiveEntryInfo> entries_;
};
