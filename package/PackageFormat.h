#pragma once
// The skin package layout, shared by the installer (which reads it in place
// from its resources) and the packer (which writes it). Portable: no platform
// headers, names as UTF-16 code units.
//
//   count            int32 LE; 0 or less means an empty package
//   count headers    back to back:
//     name length    uint32 LE, in bytes (two per UTF-16 unit, no terminator)
//     name           UTF-16 LE; an odd length uses length / 2 units and
//                    still advances by length bytes
//     offset         uint32 LE, from the first byte of the package
//     size           uint32 LE
//   data             the entries' bytes, in header order, contiguous
//
// Names are lower-case relative paths with backslashes ("xml\main.xml").
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kPackageCountBytes = 4;
constexpr size_t kPackageFieldBytes = 4;  // name length, offset and size

// One entry as read from a header: its name and where its bytes lie.
struct PackageEntry {
    std::u16string name;
    uint32_t offset = 0;
    uint32_t size = 0;
};

// What reading a package found. Only whole entries are listed: a header that
// runs past the end stops the reading, and an entry whose bytes lie outside
// the package is left out.
struct PackageContents {
    int32_t declaredCount = 0;
    std::vector<PackageEntry> entries;  // header order, duplicates kept
    bool truncatedHeaders = false;      // headers ended before count was reached
    uint32_t entriesOutOfBounds = 0;    // headers whose data lies outside
};

// Reads the headers of the package in data[0, size). Never reads outside it.
PackageContents ReadPackage(const uint8_t* data, size_t size);

// An entry to store: its package name and its bytes.
struct PackageInput {
    std::u16string name;
    std::vector<uint8_t> data;
};

// Lays out a package: headers in the given order, then the data contiguous
// in the same order. False (and `out` empty) when it would not fit the
// format's 32-bit offsets and sizes.
bool WritePackage(const std::vector<PackageInput>& inputs, std::vector<uint8_t>& out);

// The package name of a relative path: '/' becomes '\' and ASCII letters are
// lowered (lookups lower only the request, so stored names must be lower).
std::u16string PackageNameOf(const std::u16string& relativePath);

// UTF-8 <-> UTF-16 without the platform; invalid input becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
