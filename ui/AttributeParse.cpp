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

std::vector<std::wstring_view> SplitText(std::wstring_view value, wchar_t sep) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (;;) {
        size_t at = value.find(sep, start);
        if (at == std::wstring_view::npos) {
            parts.push_back(value.substr(start));
            return parts;
        }
        parts.push_back(value.substr(start, at - start));
        start = at + 1;
    }
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
