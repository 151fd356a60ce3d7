#pragma once
// Byte streams over files in the shape the LZMA encoder expects: a sink that
// appends to an open file and a source that reads a run of files back to back,
// checking each one's size and computing its CRC on the way.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "7zTypes.h"

// fopen that takes a path on every platform (wide names on Windows).
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Reads a whole file; false with a message when it cannot.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                   std::string& error);

class FileSink {
  public:
    explicit FileSink(std::FILE* file);
    ISeqOutStreamPtr stream() const { return &vt_; }
    uint64_t written() const { return written_; }
    bool failed() const { return failed_; }
    bool Write(const void* data, size_t size);

  private:
    static size_t WriteThunk(ISeqOutStreamPtr p, const void* data, size_t size);

    ISeqOutStream vt_;  // first member: the encoder hands back its address
    std::FILE* file_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

// One file of a run: where it is and how many bytes it must hold.
struct SourceFile {
    std::filesystem::path path;
    uint64_t size = 0;
};

class FileSequence {
  public:
    explicit FileSequence(std::vector<SourceFile> files);
    ~FileSequence();
    FileSequence(const FileSequence&) = delete;
    FileSequence& operator=(const FileSequence&) = delete;

    ISeqInStreamPtr stream() const { return &vt_; }
    // The CRC of every file read so far, in order.
    const std::vector<uint32_t>& crcs() const { return crcs_; }
    // Empty unless reading failed (a file missing, unreadable or resized).
    const std::string& error() const { return error_; }

  private:
    static SRes ReadThunk(ISeqInStreamPtr p, void* buf, size_t* size);
    SRes Read(uint8_t* buf, size_t* size);
    bool OpenNext();
    bool FinishCurrent();
    SRes Fail(const std::string& message);

    ISeqInStream vt_;  // first member: the encoder hands back its address
    std::vector<SourceFile> files_;
    size_t next_ = 0;
    std::FILE* current_ = nullptr;
    uint64_t remaining_ = 0;
    uint32_t crc_ = 0;
    std::vector<uint32_t> crcs_;
    std::string error_;
};
