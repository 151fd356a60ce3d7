#include "tools/skinpack/FileStreams.h"

#include <algorithm>

#include "7zCrc.h"

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                   std::string& error) {
    out.clear();
    std::FILE* file = OpenFile(path, "rb");
    if (!file) {
        error = "cannot open '" + path.u8string() + "'";
        return false;
    }
    // Sized up front when the size is known, so the bytes are copied once.
    std::error_code ec;
    const uintmax_t expected = std::filesystem::file_size(path, ec);
    if (!ec && expected < (uintmax_t{1} << 40)) out.reserve(static_cast<size_t>(expected));
    uint8_t chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) error = "cannot read '" + path.u8string() + "'";
    return ok;
}

FileSink::FileSink(std::FILE* file) : file_(file) { vt_.Write = &FileSink::WriteThunk; }

bool FileSink::Write(const void* data, size_t size) {
    if (failed_) return false;
    if (size && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    if (!failed_) written_ += size;
    return !failed_;
}

size_t FileSink::WriteThunk(ISeqOutStreamPtr p, const void* data, size_t size) {
    auto* self = reinterpret_cast<FileSink*>(const_cast<ISeqOutStream*>(p));
    return self->Write(data, size) ? size : 0;
}

FileSequence::FileSequence(std::vector<SourceFile> files) : files_(std::move(files)) {
    vt_.Read = &FileSequence::ReadThunk;
}

FileSequence::~FileSequence() {
    if (current_) std::fclose(current_);
}

SRes FileSequence::ReadThunk(ISeqInStreamPtr p, void* buf, size_t* size) {
    auto* self = reinterpret_cast<FileSequence*>(const_cast<ISeqInStream*>(p));
    return self->Read(static_cast<uint8_t*>(buf), size);
}

SRes FileSequence::Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return SZ_ERROR_READ;
}

bool FileSequence::OpenNext() {
    const SourceFile& file = files_[next_++];
    current_ = OpenFile(file.path, "rb");
    if (!current_) {
        Fail("cannot open '" + file.path.u8string() + "'");
        return false;
    }
    remaining_ = file.size;
    crc_ = CRC_INIT_VAL;
    return true;
}

// A file must end exactly where its listed size says: the sizes are already
// part of the archive's plan, so a file that grew is as wrong as one that shrank.
bool FileSequence::FinishCurrent() {
    uint8_t extra;
    const bool grew = std::fread(&extra, 1, 1, current_) == 1;
    std::fclose(current_);
    current_ = nullptr;
    if (grew) {
        Fail("'" + files_[next_ - 1].path.u8string() + "' changed while it was being packed");
        return false;
    }
    crcs_.push_back(CRC_GET_DIGEST(crc_));
    return true;
}

SRes FileSequence::Read(uint8_t* buf, size_t* size) {
    const size_t wanted = *size;
    *size = 0;
    if (!error_.empty()) return SZ_ERROR_READ;
    while (*size < wanted) {
        if (!current_) {
            if (next_ == files_.size()) break;
            if (!OpenNext()) return SZ_ERROR_READ;
        }
        const size_t want = static_cast<size_t>(std::min<uint64_t>(remaining_, wanted - *size));
        const size_t got = want ? std::fread(buf + *size, 1, want, current_) : 0;
        if (got != want)
            return Fail("'" + files_[next_ - 1].path.u8string() +
                        "' could not be read whole (changed while packing, or a read error)");
        crc_ = CrcUpdate(crc_, buf + *size, got);
        *size += got;
        remaining_ -= got;
        if (remaining_ == 0 && !FinishCurrent()) return SZ_ERROR_READ;
    }
    return SZ_OK;
}
