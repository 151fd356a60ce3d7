#include "script_api/CommandLineRules.h"

#include <cstdint>

namespace {

const wchar_t* const kUpdateSwitches[] = {L"/update", L"--update", L"--upgrade", L"/upgrade"};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace

bool CommandLineRules::HasParam(const std::wstring& commandLine, const std::wstring& text) {
    return commandLine.find(text) != std::wstring::npos;
}

bool CommandLineRules::IsUpdateMode(const std::wstring& commandLine) {
    for (const wchar_t* s : kUpdateSwitches) {
        if (HasParam(commandLine, s)) return true;
    }
    return false;
}

bool CommandLineRules::IsSilentFileName(const std::wstring& fileName) {
    return HasParam(fileName, L"@st.");
}

uint32_t CommandLineRules::ChannelFromFileName(const std::wstring& fileName) {
    const size_t underscore = fileName.find(L'_');
    if (underscore == std::wstring::npos) return 0;
    size_t i = underscore + 1;
    while (i < fileName.size() && IsBlank(fileName[i])) ++i;
    bool negative = false;
    if (i < fileName.size() && (fileName[i] == L'+' || fileName[i] == L'-')) {
        negative = fileName[i] == L'-';
        ++i;
    }
    // A 64-bit accumulator that stops growing past the 32-bit range, so a
    // long run of digits clamps instead of wrapping to an unrelated channel.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; i < fileName.size() && fileName[i] >= L'0' && fileName[i] <= L'9'; ++i) {
        value = value * 10 + (fileName[i] - L'0');
        if (value > limit) value = limit;
    }
    const int32_t result = static_cast<int32_t>(negative ? -value : value);
    return static_cast<uint32_t>(result);
}
