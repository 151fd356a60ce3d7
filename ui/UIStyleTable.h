#pragma once
// Named attribute sets that a "css" attribute applies. The table starts
// empty; embedders may add styles before layouts are loaded.
#include <map>
#include <string>
#include <utility>
#include <vector>

class UIStyleTable {
  public:
    using Style = std::vector<std::pair<std::wstring, std::wstring>>;
    static UIStyleTable& Instance();

    // Appends one (attribute, value) pair to the named style.
    void Add(const std::wstring& style, const std::wstring& name, const std::wstring& value);
    // The pairs of the style in the order added; empty for an unknown style.
    const Style& Find(const std::wstring& style) const;
    void Clear() { styles_.clear(); }

  private:
    std::map<std::wstring, Style> styles_;
};
