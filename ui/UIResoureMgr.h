#pragma once
// The resource manager: answers skin names from the skin package index,
// hands out file bytes and decodes each image once, caching it under its
// lower-cased name for the life of the manager.
#include <map>
#include <memory>
#include <string>

#include "ui/UIResLoader.h"

class PackageIndex;
class SkinBitmap;

class UIResoureMgr : public UIResLoader {
  public:
    // The process's manager, over the skin package that start-up indexes.
    // Never destroyed: its images may be drawn until the process ends.
    static UIResoureMgr& Instance();

    // A manager over another index (which must outlive it).
    explicit UIResoureMgr(const PackageIndex& index);
    ~UIResoureMgr() override;

    std::string GetFileData(const std::wstring& name) override;
    SkinBitmap* GetImage(const std::wstring& name) override;

    size_t CachedImageCount() const { return images_.size(); }

  private:
    std::map<std::wstring, std::unique_ptr<SkinBitmap>> images_;
    const PackageIndex& index_;
};
