#include "ui/UIResoureMgr.h"

#include <cwctype>

#include "package/PackageIndex.h"
#include "ui/SkinBitmap.h"

namespace {

UIResLoader* g_loader = nullptr;

// The same lowering as the package lookup, so that every spelling that
// finds an entry shares its cache slot.
std::wstring Lowered(const std::wstring& name) {
    std::wstring lowered(name);
    for (wchar_t& c : lowered) c = static_cast<wchar_t>(std::towlower(c));
    return lowered;
}

}  // namespace

UIResLoader* GetResLoader() { return g_loader; }

UIResLoader* SetResLoader(UIResLoader* loader) {
    UIResLoader* previous = g_loader;
    g_loader = loader;
    return previous;
}

UIResoureMgr& UIResoureMgr::Instance() {
    static UIResoureMgr* manager = new UIResoureMgr(SkinPackage());
    return *manager;
}

UIResoureMgr::UIResoureMgr(const PackageIndex& index) : index_(index) {}

UIResoureMgr::~UIResoureMgr() = default;

std::string UIResoureMgr::GetFileData(const std::wstring& name) {
    PackageSpan span = index_.FindEntry(name);
    if (!span.data) return std::string();
    return std::string(reinterpret_cast<const char*>(span.data), span.size);
}

SkinBitmap* UIResoureMgr::GetImage(const std::wstring& name) {
    std::wstring key = Lowered(name);
    auto it = images_.find(key);
    if (it != images_.end()) return it->second.get();
    PackageSpan span = index_.FindEntry(name);
    if (!span.data) return nullptr;  // not cached: the next request searches again
    std::unique_ptr<SkinBitmap> image(DecodeImage(span.data, span.size));
    if (!image) return nullptr;
    SkinBitmap* result = image.get();
    images_.emplace(std::move(key), std::move(image));
    return result;
}
