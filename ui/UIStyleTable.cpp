#include "ui/UIStyleTable.h"

UIStyleTable& UIStyleTable::Instance() {
    static UIStyleTable table;
    return table;
}

void UIStyleTable::Add(const std::wstring& style, const std::wstring& name,
                       const std::wstring& value) {
    styles_[style].emplace_back(name, value);
}

const UIStyleTable::Style& UIStyleTable::Find(const std::wstring& style) const {
    static const Style kNone;
    auto it = styles_.find(style);
    return it == styles_.end() ? kNone : it->second;
}
