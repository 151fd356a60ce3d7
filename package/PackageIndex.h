#pragma once
// The index of a resource package (the skin): entry name -> where its bytes
// lie. Built once over the package where it lies in memory; the bytes are
// borrowed, never copied.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

// An entry's bytes inside the package; data is null when not found.
struct PackageSpan {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

class PackageIndex {
  public:
    // Indexes the package in base[0, size). Headers and entries are checked
    // against the size: a truncated or lying package gives an index of the
    // entries that are whole, and nothing outside the package is read. A
    // later entry of the same name replaces an earlier one. Names are stored
    // as read. Rebuilding replaces the previous index.
    void BuildIndex(const void* base, size_t size);
    // The entry whose name equals `name` lowered; {null, 0} when none.
    PackageSpan FindEntry(const std::wstring& name) const;

    size_t EntryCount() const { return entries_.size(); }
    void Clear();

  private:
    const uint8_t* base_ = nullptr;
    std::map<std::wstring, std::pair<uint32_t, uint32_t>> entries_;  // name -> offset, size
};

// The skin package of this process, indexed at start-up; the resource
// manager finds layouts and images in it.
PackageIndex& SkinPackage();
