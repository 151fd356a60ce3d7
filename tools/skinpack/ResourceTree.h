#pragma once
// The resources of an executable as a flat list (type, name, language,
// bytes), read from its resource section with every offset checked, and laid
// out again as a new resource section. Portable: no platform headers.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skinpack/PeImage.h"

// A resource type or name: a number, or a UTF-16 text ("LUA", "PAK").
struct ResourceKey {
    bool named = false;
    uint16_t id = 0;
    std::u16string name;

    static ResourceKey Id(uint16_t id);
    static ResourceKey Name(std::u16string name);
    // The order of the section's directories: names (by code unit) first,
    // then numbers ascending; the loader searches them by bisection.
    bool operator<(const ResourceKey& other) const;
    bool operator==(const ResourceKey& other) const;
    std::string Text() const;
};

struct ResourceItem {
    ResourceKey type;
    ResourceKey name;
    uint16_t language = 0;
    uint32_t codePage = 0;
    std::vector<uint8_t> bytes;  // the data, unless it is streamed from `file`
    std::filesystem::path file;
    uint64_t size = 0;
};

// A new resource section: the directories, strings and data entries (`head`),
// then each item's data at its offset, zero-padded between.
struct ResourceLayout {
    std::vector<uint8_t> head;
    std::vector<size_t> order;      // indexes into items(), in data order
    std::vector<uint64_t> offsets;  // of each item in `order`, from the section start
    uint64_t size = 0;              // of the whole section
};

class ResourceTree {
  public:
    // Reads the image's resource directory (none is an empty tree); false
    // with a message when a structure lies outside the section, a directory
    // is reached twice (a loop), or the tree is not three levels deep.
    bool Parse(const PeImage& image, std::string& error);
    // Adds an item, replacing every language of the same type and name.
    void Put(ResourceItem item);
    // Drops every item of a type (all names and languages).
    void RemoveType(const ResourceKey& type);
    bool Has(const ResourceKey& type, const ResourceKey& name) const;
    const std::vector<ResourceItem>& items() const { return items_; }
    // Lays the section out for the address `rva`; false when it cannot be
    // addressed with 32-bit offsets.
    bool Layout(uint32_t rva, ResourceLayout& out, std::string& error) const;

  private:
    struct Walk;

    std::vector<ResourceItem> items_;
};
