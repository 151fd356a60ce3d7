#include "ui/AttributeParse.h"

#include <climits>
#include <cstdint>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

bool ParseBool(std::wstring_view value) {
    return value == L"true" || value == L"TRUE" || value == L"1" || value == L"yes";
}

int ParseInt(std::wstring_view value) {
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == L'+' || value[i] == L'-')) {
        negative = value[i] == L'-';
        ++i;
    }
    int64_t n = 0;
    for (; i < value.size() && value[i] >= L'0' && value[i] <= L'9'; ++i) {
        if (n <= int64_t(INT_MAX) + 1) n = n * 10 + (value[i] - L'0');
    }
    return ClampToInt(negative ? -n : n);
}

std::wstring_view TrimBlanks(std::wstring_view value) {
    size_t b = 0, e = value.size();
    while (b < e && IsBlank(value[b])) ++b;
    while (e > b && IsBlank(value[e - 1])) --e;
    return value.substr(b, e - b);
}

bool ParseRect(std::wstring_view value, UIPosValue& out) {
    out = UIPosValue();
    std::vector<std::wstring_view> parts = SplitText(value, L',');
    if (parts.size() != 4) return false;
    out.x = ParseInt(TrimBlanks(parts[0]));
    out.y = ParseInt(TrimBlanks(parts[1]));
    out.w = ParseInt(TrimBlanks(parts[2]));
    out.h = ParseInt(TrimBlanks(parts[3]));
    return true;
}

RECT ParsePadding(std::wstring_view value) {
    RECT r = {0, 0, 0, 0};
    LONG* fields[] = {&r.left, &r.top, &r.right, &r.bottom};
    std::vector<std::wstring_view> parts = SplitText(value, L',');
    for (size_t i = 0; i < parts.size() && i < 4; ++i) {
        *fields[i] = ParseInt(TrimBlanks(parts[i]));
    }
    return r;
}

int ClampToInt(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

RECT MakeRect(int x, int y, int w, int h) {
    return RECT{x, y, ClampToInt(int64_t(x) + w), ClampToInt(int64_t(y) + h)};
}

namespace {

uint32_t HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 0;  // skins rely on stray characters reading as 0, not as an error
}

uint32_t ParseHexColor(std::wstring_view digits) {
    if (digits.empty()) return 0;
    uint32_t value = 0;
    for (wchar_t c : digits) value = (value << 4) | HexDigit(c);
    // Short forms such as RRGGBB are nearly opaque, not fully: skins depend
    // on that alpha of 0xFE.
    return digits.size() < 8 ? (value | 0xFE000000u) : value;
}

uint32_t ParseDecimalColor(std::wstring_view value) {
    std::vector<std::wstring_view> parts = SplitText(value, L',');
    uint32_t n[4] = {255, 0, 0, 0};
    if (parts.size() == 3) {
        for (size_t i = 0; i < 3; ++i) n[i + 1] = static_cast<uint32_t>(ParseInt(parts[i]));
    } else if (parts.size() == 4) {
        for (size_t i = 0; i < 4; ++i) n[i] = static_cast<uint32_t>(ParseInt(parts[i]));
    } else {
        return 0xFF000000u;
    }
    return (n[0] << 24) | ((n[1] << 16) & 0xFFFFFFu) | ((n[2] << 8) & 0xFFFFu) | n[3];
}

}  // namespace

uint32_t ParseColor(std::wstring_view value) {
    if (value == L"white") return 0xFFFFFFFFu;
    if (value == L"black") return 0xFF60656Fu;
    if (value.size() >= 2 && value[0] == L'0' && (value[1] == L'x' || value[1] == L'X')) {
        value.remove_prefix(2);
    }
    if (!value.empty() && value[0] == L'#') value.remove_prefix(1);
    if (value.find(L',') != std::wstring_view::npos) return ParseDecimalColor(value);
    return ParseHexColor(value);
}
