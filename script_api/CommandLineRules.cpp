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

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c + (L'a' - L'A') : c; }

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    }
    return true;
}

// The program path: quotes only delimit it, backslashes are plain.
size_t ReadProgram(const std::wstring& line, std::wstring& out) {
    size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            break;
        } else {
            out += c;
        }
    }
    return i;
}

// One argument from `i` on; returns the position after it.
size_t ReadArgument(const std::wstring& line, size_t i, std::wstring& out) {
    bool quoted = false;
    while (i < line.size()) {
        const wchar_t c = line[i];
        if (!quoted && (c == L' ' || c == L'\t')) break;
        if (c == L'\\') {
            size_t n = 0;
            while (i < line.size() && line[i] == L'\\') ++n, ++i;
            if (i < line.size() && line[i] == L'"') {
                out.append(n / 2, L'\\');
                if (n % 2 == 1) out += L'"', ++i;  // an escaped quote
            } else {
                out.append(n, L'\\');
            }
            continue;
        }
        if (c == L'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                out += L'"';  // "" inside quotes is one quote
                i += 2;
                continue;
            }
            quoted = !quoted;
        } else {
            out += c;
        }
        ++i;
    }
    return i;
}

}  // namespace

std::vector<std::wstring> CommandLineRules::SplitArguments(const std::wstring& commandLine) {
    std::vector<std::wstring> args;
    if (commandLine.empty()) return args;
    std::wstring program;
    size_t i = ReadProgram(commandLine, program);
    args.push_back(program);
    for (;;) {
        while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
        if (i >= commandLine.size()) break;
        std::wstring arg;
        i = ReadArgument(commandLine, i, arg);
        args.push_back(arg);
    }
    return args;
}

std::wstring CommandLineRules::ParamValue(const std::wstring& commandLine,
                                          const std::wstring& prefix) {
    const std::vector<std::wstring> args = SplitArguments(commandLine);
    for (size_t i = 1; i < args.size(); ++i) {
        if (StartsWithNoCase(args[i], prefix)) return args[i].substr(prefix.size());
    }
    return {};
}
