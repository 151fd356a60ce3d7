#pragma once
// The bytes of a skin package, from a .pak file or packed in memory from a
// skin folder (each file under its lower-cased, backslashed relative path).
#include <cstdint>
#include <string>
#include <vector>

// False with a message in `error` when the path cannot be read.
bool LoadSkinBytes(const std::wstring& path, std::vector<uint8_t>& out, std::wstring& error);
