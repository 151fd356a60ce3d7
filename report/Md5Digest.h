#pragma once
// MD5 through the platform's cryptography provider.
#include <cstddef>
#include <string>

// The digest of the bytes as 32 lowercase hexadecimal digits, high nibble
// first; empty when the platform provider is unavailable.
std::string Md5Hex(const void* data, size_t size);

// Bytes as lowercase hexadecimal digits, two per byte, high nibble first.
std::string LowerHex(const unsigned char* bytes, size_t size);
