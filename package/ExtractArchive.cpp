#include "package/ExtractArchive.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

#include "7z.h"
#include "7zCrc.h"
#include "package/BlockDecoder.h"
#include "package/EntryWriter.h"
#include "package/ExtractionWorker.h"
#include "package/InstallTree.h"
#include "package/LogText.h"
#include "package/MemoryStream.h"

namespace {

constexpr size_t kLookAheadBytes = 16 * 1024;
constexpr uint8_t kSignatureTail[] = {0xBC, 0xAF, 0x27, 0x1C};

std::string* g_logCapture = nullptr;

void* HeapAlloc7z(ISzAllocPtr, size_t size) { return size ? std::malloc(size) : nullptr; }
void HeapFree7z(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeapAlloc = {HeapAlloc7z, HeapFree7z};

void WriteLog(const char* text, size_t size) {
    if (g_logCapture) {
        g_logCapture->append(text, size);
        return;
    }
    std::fwrite(text, 1, size, stdout);
}

void WriteLog(const std::string& text) { WriteLog(text.data(), text.size()); }

// Archives whose signature starts with two zero bytes are accepted as well:
// present them to the reader with the standard signature.
void AcceptZeroedSignature(MemoryStream& stream) {
    if (stream.Size() < 6 || stream.PresentedByte(0) != 0 || stream.PresentedByte(1) != 0) return;
    for (uint32_t i = 0; i < sizeof(kSignatureTail); ++i)
        if (stream.PresentedByte(2 + i) != kSignatureTail[i]) return;
    const uint8_t standard[] = {'7', 'z'};
    stream.PatchHead(standard, sizeof(standard));
}

// The log shows names in the console's code page; a name that cannot be
// shown there still gets its "_" placeholders.
class NameLog {
  public:
    ~NameLog() { std::free(buffer_); }
    // Writes `name`; the code to stop with, or 0.
    int Write(const wchar_t* name, size_t length) {
        const size_t need = 3 * length + 100;
        if (need > capacity_) {
            void* grown = std::realloc(buffer_, need);
            if (!grown) return kExtractNoMemory;
            buffer_ = static_cast<char*>(grown);
            capacity_ = need;
        }
        const int n = ConvertNameForLog(name, length, ::GetOEMCP(), buffer_, capacity_);
        if (n <= 0 && length > 0) return kExtractNotWritten;
        WriteLog(buffer_, static_cast<size_t>(n > 0 ? n : 0));
        return 0;
    }

  private:
    char* buffer_ = nullptr;
    size_t capacity_ = 0;
};

// The walk over the opened archive; the code to end with.
class ArchiveWalk {
  public:
    ArchiveWalk(CSzArEx& db, const MemoryStream& stream, ILookInStreamPtr input,
                const std::wstring& installFolder)
        : db_(db), blocks_(db, stream, input, &kHeapAlloc), tree_(installFolder) {}
    ~ArchiveWalk() { std::free(name_); }

    int Run() {
        blocks_.Start();
        for (UInt32 i = 0; i < db_.NumFiles; ++i) {
            const int code = Entry(i);
            if (code != kExtractOk) return code;
        }
        return kExtractOk;
    }

  private:
    int Entry(UInt32 i) {
        const size_t units = SzArEx_GetFileNameUtf16(&db_, i, nullptr);
        if (units > nameUnits_) {
            void* grown = std::realloc(name_, units * sizeof(UInt16));
            if (!grown) return kExtractNoMemory;
            name_ = static_cast<UInt16*>(grown);
            nameUnits_ = units;
        }
        SzArEx_GetFileNameUtf16(&db_, i, name_);
        const std::wstring name(reinterpret_cast<const wchar_t*>(name_), units ? units - 1 : 0);
        if (const int code = log_.Write(name.c_str(), name.size())) return code;

        EntryWrite result;
        if (SzArEx_IsDir(&db_, i)) {
            WriteLog("/", 1);
            result = WriteExtractedEntry(tree_, name, true, nullptr, 0, i, db_.NumFiles);
            if (result == EntryWrite::kNotWritable) result = EntryWrite::kDone;
        } else {
            const uint8_t* data = nullptr;
            size_t size = 0;
            if (const int res = blocks_.EntryData(i, &data, &size)) return res;
            result = WriteExtractedEntry(tree_, name, false, data, size, i, db_.NumFiles);
        }
        if (const char* reason = RefusalText(result)) {
            WriteLog(reason);
            log_.Write(name.c_str(), name.size());
        }
        return result == EntryWrite::kDone ? kExtractOk : kExtractNotWritten;
    }

    static const char* RefusalText(EntryWrite result) {
        switch (result) {
            case EntryWrite::kRefused:
                return "\nERROR: refused entry outside the install folder: ";
            case EntryWrite::kDeviceName:
                return "\nERROR: refused entry naming a device: ";
            case EntryWrite::kThroughLink:
                return "\nERROR: refused entry through a link in the install folder: ";
            default:
                return nullptr;
        }
    }

    CSzArEx& db_;
    BlockDecoder blocks_;
    InstallTree tree_;
    NameLog log_;
    UInt16* name_ = nullptr;
    size_t nameUnits_ = 0;
};

void WriteResult(int code) {
    switch (code) {
        case kExtractOk:
            WriteLog("\nEverything is Ok\n");
            break;
        case SZ_ERROR_UNSUPPORTED:
            WriteLog("\nERROR: decoder doesn't support this archive\n");
            break;
        case SZ_ERROR_MEM:
            WriteLog("\nERROR: can not allocate memory\n");
            break;
        case SZ_ERROR_CRC:
            WriteLog("\nERROR: CRC error\n");
            break;
        default:
            WriteLog("\nERROR #" + std::to_string(code) + "\n");
            break;
    }
    if (!g_logCapture) std::fflush(stdout);
}

int OpenAndWalk(MemoryStream& stream) {
    CrcGenerateTable();
    CSzArEx db;
    SzArEx_Init(&db);
    CLookToRead2 look;
    LookToRead2_CreateVTable(&look, False);
    look.buf = static_cast<Byte*>(ISzAlloc_Alloc(&kHeapAlloc, kLookAheadBytes));
    if (!look.buf) return kExtractNoMemory;
    look.bufSize = kLookAheadBytes;
    look.realStream = stream.Interface();
    LookToRead2_INIT(&look);

    AcceptZeroedSignature(stream);
    int code = SzArEx_Open(&db, &look.vt, &kHeapAlloc, &kHeapAlloc);
    if (code == SZ_OK) {
        std::wstring folder = TheExtractionJob().installFolder;
        std::replace(folder.begin(), folder.end(), L'/', L'\\');
        ArchiveWalk walk(db, stream, &look.vt, folder);
        code = walk.Run();
    }
    SzArEx_Free(&db, &kHeapAlloc);
    ISzAlloc_Free(&kHeapAlloc, look.buf);
    return code;
}

}  // namespace

void SetExtractionLogCapture(std::string* capture) { g_logCapture = capture; }

int ExtractArchiveWithCode(MemoryStream& stream) {
    const int code = OpenAndWalk(stream);
    WriteResult(code);
    return code;
}

int ExtractArchive(MemoryStream& stream) { return ExtractArchiveWithCode(stream) == 0 ? 0 : 1; }
