#include "report/SmbiosTable.h"

#include <algorithm>

std::string SmbiosStructure::String(uint8_t number) const {
    if (number == 0) return {};
    size_t pos = FormattedLength();
    for (uint8_t index = 1;; ++index) {
        // An empty text marks the end of the set: the number is beyond it.
        if (pos >= bytes_.size() || bytes_[pos] == 0) return {};
        const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos);
        const auto end = std::find(begin, bytes_.end(), uint8_t{0});
        if (index == number) return std::string(begin, end);
        pos = static_cast<size_t>(end - bytes_.begin()) + 1;
    }
}

SmbiosTable SmbiosTable::Walk(const uint8_t* data, size_t size,
                              std::initializer_list<uint8_t> types) {
    SmbiosTable table;
    size_t o = 0;
    // Each structure needs its type and length bytes.
    while (data && o + 1 < size) {
        const uint8_t type = data[o];
        const size_t formatted = data[o + 1];
        if (o + formatted >= size) break;
        // The string set ends at the first pair of zero bytes after the
        // formatted area; a set without that pair inside the table ends the walk.
        size_t end = o + formatted;
        while (end + 1 < size && !(data[end] == 0 && data[end + 1] == 0)) ++end;
        if (end + 1 >= size) break;
        const size_t total = end + 2 - o;
        if (std::find(types.begin(), types.end(), type) != types.end()) {
            table.structures_.emplace_back(std::vector<uint8_t>(data + o, data + o + total));
        }
        o += total;
    }
    return table;
}

const SmbiosStructure* SmbiosTable::First(uint8_t type) const {
    for (const SmbiosStructure& s : structures_) {
        if (s.Type() == type) return &s;
    }
    return nullptr;
}
