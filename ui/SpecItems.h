#pragma once
// The item syntax of render-spec bodies ("k=v|k=v"), free of any window
// system so that the packer's skin check reads specs exactly as the
// renders do.
#include <string>
#include <string_view>
#include <vector>

// Splits at every separator; empty pieces are kept ("a||b" gives three).
std::vector<std::wstring_view> SplitText(std::wstring_view value, wchar_t sep);

// Calls fn(key, value) for each item of a "k=v|k=v" body: items are split at
// "|" (a trailing empty item is dropped), and only items that split at "="
// into exactly two pieces are passed on.
template <typename Fn>
void ForEachSpecItem(std::wstring_view body, Fn&& fn) {
    std::vector<std::wstring_view> items = SplitText(body, L'|');
    if (!items.empty() && items.back().empty()) items.pop_back();
    for (std::wstring_view item : items) {
        std::vector<std::wstring_view> kv = SplitText(item, L'=');
        if (kv.size() == 2) fn(std::wstring(kv[0]), std::wstring(kv[1]));
    }
}
