#pragma once
// How the installer reads its mode from its command line and its own file
// name. Pure text rules, kept apart from the platform so they can be checked
// on any text.
#include <cstdint>
#include <string>
#include <vector>

class CommandLineRules {
  public:
    // Whether `text` occurs anywhere in the command line, exactly and
    // case-sensitively (the program path included). Empty text always does.
    static bool HasParam(const std::wstring& commandLine, const std::wstring& text);
    // Whether one of "/update", "--update", "--upgrade", "/upgrade" occurs
    // anywhere in the command line (case-sensitive substrings).
    static bool IsUpdateMode(const std::wstring& commandLine);
    // Whether the file name carries the silent marker "@st." (case-sensitive).
    static bool IsSilentFileName(const std::wstring& fileName);
    // The channel number: the decimal integer at the start of the text after
    // the first "_" (leading white space skipped, optional sign); 0 when
    // there is no "_" or no digits. Values beyond the 32-bit signed range
    // are clamped. Returned as the 32-bit pattern the script receives.
    static uint32_t ChannelFromFileName(const std::wstring& fileName);
    // The command line cut into arguments by the rules Windows programs use:
    // blanks separate, double quotes group, backslashes escape only quotes.
    static std::vector<std::wstring> SplitArguments(const std::wstring& commandLine);
    // The rest of the first argument after the program that starts with
    // `prefix` (ASCII letters compared without case), as in "/dir=" giving
    // the folder of "/dir=C:\Tools"; empty when no argument does.
    static std::wstring ParamValue(const std::wstring& commandLine, const std::wstring& prefix);
};
