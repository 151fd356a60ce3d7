#include "ui/SpecItems.h"

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
