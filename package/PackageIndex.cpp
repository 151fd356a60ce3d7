#include "package/PackageIndex.h"

#include <windows.h>
#include <cwctype>

#include "base/DecimalText.h"
#include "package/PackageFormat.h"

namespace {

std::wstring ToWide(const std::u16string& name) { return std::wstring(name.begin(), name.end()); }

// The format tolerates nothing here silently: a damaged skin is worth a
// line on the debugger output, since its windows will miss layouts.
void ReportDamage(const PackageContents& contents) {
    if (!contents.truncatedHeaders && contents.entriesOutOfBounds == 0) return;
    std::wstring text = L"Skin package damaged: " + DecimalText(contents.entries.size()) + L" of " +
                        DecimalText(contents.declaredCount) + L" entries usable";
    if (contents.truncatedHeaders) text += L", headers truncated";
    if (contents.entriesOutOfBounds)
        text += L", " + DecimalText(contents.entriesOutOfBounds) + L" entries out of bounds";
    ::OutputDebugStringW(text.c_str());
}

}  // namespace

void PackageIndex::BuildIndex(const void* base, size_t size) {
    Clear();
    base_ = static_cast<const uint8_t*>(base);
    const PackageContents contents = ReadPackage(base_, size);
    ReportDamage(contents);
    for (const PackageEntry& e : contents.entries)
        entries_[ToWide(e.name)] = std::make_pair(e.offset, e.size);
}

PackageSpan PackageIndex::FindEntry(const std::wstring& name) const {
    std::wstring lowered = name;
    for (wchar_t& c : lowered) c = static_cast<wchar_t>(std::towlower(c));
    const auto it = entries_.find(lowered);
    if (it == entries_.end()) return {};
    return {base_ + it->second.first, it->second.second};
}

void PackageIndex::Clear() {
    base_ = nullptr;
    entries_.clear();
}

PackageIndex& SkinPackage() {
    static PackageIndex index;
    return index;
}
