#pragma once
// The payload extraction driver: walks a 7z archive's entries in order,
// decodes them (each solid block once) and writes them below the install
// folder. Writes its log to standard output.
#include <string>

class MemoryStream;

// Result codes of the walk (the archive reader's own codes plus these).
constexpr int kExtractOk = 0;
constexpr int kExtractNoMemory = 2;     // the reader's SZ_ERROR_MEM
constexpr int kExtractNotWritten = 11;  // an entry could not be written

// Extracts every entry; 0 when all were written, 1 on any failure (the
// detailed code is only in the log). Entries written before a failure stay.
int ExtractArchive(MemoryStream& stream);
// As ExtractArchive, returning the detailed code.
int ExtractArchiveWithCode(MemoryStream& stream);

// Captures the extraction log into `capture` instead of standard output
// (null restores standard output). For tools and tests.
void SetExtractionLogCapture(std::string* capture);
