#pragma once
// UTF-8 <-> UTF-16, for the script boundary and the layout loader only.
#include <string>
#include <string_view>

// Invalid UTF-8 sequences become U+FFFD, as the platform converter does.
std::wstring Utf8ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
