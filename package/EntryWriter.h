#pragma once
// Writing one extracted payload entry below the install folder.
#include <cstddef>
#include <cstdint>
#include <string>

enum class EntryWrite {
    kDone,         // written, created, or skipped for the other architecture
    kNotWritable,  // the file could not be opened or written
    kRefused,      // the name points outside the install folder
    kDeviceName,   // a part of the name is a device (nul, COM1.txt, ...)
    kThroughLink,  // a folder on the way, or the file, is a link
};

class InstallTree;

// Prefixes of architecture-specific entries.
constexpr wchar_t kX86Prefix[] = L"r_x86//";
constexpr wchar_t kX64Prefix[] = L"r_x64//";

// Writes an entry of the payload below the install folder of the current
// extraction job: folders are created, files replaced (moved aside or
// renamed to ".tmp" when in use). "r_x86//" and "r_x64//" entries of the
// other architecture are skipped with a progress report naming them.
// The folders are created and checked through `tree`, whose root is the
// install folder.
EntryWrite WriteExtractedEntry(InstallTree& tree, const std::wstring& name, bool isFolder,
                               const uint8_t* data, size_t size, uint32_t index, uint32_t count);

// Whether a relative entry name stays inside the folder it is joined to:
// not rooted, no drive or stream (':'), no ".." (or other dots-only) part,
// and names no device. kDone, kRefused or kDeviceName.
EntryWrite CheckEntryName(const std::wstring& name);
bool IsSafeEntryName(const std::wstring& name);
