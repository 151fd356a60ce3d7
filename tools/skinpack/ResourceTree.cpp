#include "tools/skinpack/ResourceTree.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kDirBytes = 16;
constexpr size_t kEntryBytes = 8;
constexpr size_t kDataEntryBytes = 16;
constexpr uint64_t kDataAlignment = 8;
// Far more than any installer carries; bounds the work on hostile input.
constexpr size_t kMaxItems = 65536;

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// type -> name -> language -> index into the items.
using LanguageMap = std::map<uint16_t, size_t>;
using NameMap = std::map<ResourceKey, LanguageMap>;
using TypeMap = std::map<ResourceKey, NameMap>;

}  // namespace

ResourceKey ResourceKey::Id(uint16_t id) {
    ResourceKey key;
    key.id = id;
    return key;
}

ResourceKey ResourceKey::Name(std::u16string name) {
    ResourceKey key;
    key.named = true;
    key.name = std::move(name);
    return key;
}

bool ResourceKey::operator<(const ResourceKey& other) const {
    if (named != other.named) return named;
    return named ? name < other.name : id < other.id;
}

bool ResourceKey::operator==(const ResourceKey& other) const {
    return named == other.named && (named ? name == other.name : id == other.id);
}

std::string ResourceKey::Text() const {
    if (!named) return std::to_string(id);
    std::string text;
    for (char16_t c : name) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
}

// The state of one reading: the section's bytes and every structure reached.
struct ResourceTree::Walk {
    const PeImage& image;
    const uint8_t* base;
    uint32_t size;
    std::set<uint32_t> reached;
    std::vector<ResourceItem> items;
    uint64_t dataBytes = 0;
    std::string error;

    bool Fail(const std::string& message) {
        error = "resource section: " + message;
        return false;
    }

    // Claims [offset, offset + bytes) of the section for one structure.
    bool Claim(uint32_t offset, size_t bytes, const char* what) {
        if (uint64_t{offset} + bytes > size)
            return Fail(std::string(what) + " lies past the end of the section");
        if (!reached.insert(offset).second)
            return Fail(std::string(what) + " is reached twice (a loop)");
        return true;
    }

    bool ReadKey(uint32_t field, ResourceKey& key) {
        if (!(field & kHighBit)) {
            if (field > 0xFFFF) return Fail("a resource number is out of range");
            key = ResourceKey::Id(static_cast<uint16_t>(field));
            return true;
        }
        const uint32_t offset = field & ~kHighBit;
        if (uint64_t{offset} + 2 > size) return Fail("a name lies past the end of the section");
        const uint16_t length = PeRead16(base + offset);
        if (uint64_t{offset} + 2 + uint64_t{length} * 2 > size)
            return Fail("a name runs past the end of the section");
        std::u16string name(length, u'\0');
        for (uint16_t i = 0; i < length; ++i) name[i] = PeRead16(base + offset + 2 + i * 2);
        key = ResourceKey::Name(std::move(name));
        return true;
    }

    bool Directory(uint32_t offset, int level, ResourceItem& path) {
        if (!Claim(offset, kDirBytes, "a directory")) return false;
        const size_t count = size_t{PeRead16(base + offset + 12)} + PeRead16(base + offset + 14);
        if (uint64_t{offset} + kDirBytes + count * kEntryBytes > size)
            return Fail("a directory's entries run past the end of the section");
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* entry = base + offset + kDirBytes + i * kEntryBytes;
            if (!Entry(PeRead32(entry), PeRead32(entry + 4), level, path)) return false;
        }
        return true;
    }

    bool Entry(uint32_t keyField, uint32_t target, int level, ResourceItem& path) {
        ResourceKey key;
        if (level < 2 && !ReadKey(keyField, key)) return false;
        if (level == 0) path.type = key;
        if (level == 1) path.name = key;
        if (level == 2) {
            if (keyField > 0xFFFF) return Fail("a language is not a number");
            path.language = static_cast<uint16_t>(keyField);
        }
        const bool directory = (target & kHighBit) != 0;
        if (directory != (level < 2)) return Fail("the tree is not three levels deep");
        if (directory) return Directory(target & ~kHighBit, level + 1, path);
        return Data(target, path);
    }

    bool Data(uint32_t offset, const ResourceItem& path) {
        if (!Claim(offset, kDataEntryBytes, "a data entry")) return false;
        if (items.size() >= kMaxItems) return Fail("too many resources");
        const uint32_t rva = PeRead32(base + offset);
        const uint32_t bytes = PeRead32(base + offset + 4);
        const uint8_t* data = image.At(rva, bytes);
        dataBytes += bytes;
        if (!data || dataBytes > image.bytes().size())
            return Fail("the data of resource " + path.type.Text() + "/" + path.name.Text() +
                        " lies outside the file");
        ResourceItem item = path;
        item.codePage = PeRead32(base + offset + 8);
        item.bytes.assign(data, data + bytes);
        item.size = bytes;
        items.push_back(std::move(item));
        return true;
    }
};

bool ResourceTree::Parse(const PeImage& image, std::string& error) {
    items_.clear();
    const PeDirectory& dir = image.directories()[kPeDirResource];
    if (dir.rva == 0) return true;
    const int index = image.SectionOf(dir.rva);
    if (index < 0 || image.sections()[static_cast<size_t>(index)].virtualAddress != dir.rva) {
        error = "the resource directory does not start a section";
        return false;
    }
    const PeSection& section = image.sections()[static_cast<size_t>(index)];
    const uint32_t size =
        section.virtualSize != 0 ? std::min(section.virtualSize, section.rawSize) : section.rawSize;
    Walk walk{image, image.bytes().data() + section.rawPointer, size, {}, {}, 0, {}};
    ResourceItem path;
    if (!walk.Directory(0, 0, path)) {
        error = walk.error;
        return false;
    }
    items_ = std::move(walk.items);
    return true;
}

void ResourceTree::Put(ResourceItem item) {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [&](const ResourceItem& old) {
                                    return old.type == item.type && old.name == item.name;
                                }),
                 items_.end());
    items_.push_back(std::move(item));
}

void ResourceTree::RemoveType(const ResourceKey& type) {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [&](const ResourceItem& old) { return old.type == type; }),
                 items_.end());
}

bool ResourceTree::Has(const ResourceKey& type, const ResourceKey& name) const {
    return std::any_of(items_.begin(), items_.end(), [&](const ResourceItem& item) {
        return item.type == type && item.name == name;
    });
}

namespace {

// Writes the section's head: every type's directory followed by its names'
// directories, then the name strings, then the data entries.
class HeadWriter {
  public:
    HeadWriter(const TypeMap& tree, const std::vector<ResourceItem>& items)
        : tree_(tree), items_(items) {}

    // Directory headers keep characteristics, time stamp and version zero,
    // so equal inputs give equal bytes.
    void Measure() {
        size_t dirs = DirSize(tree_.size());
        for (const auto& [type, names] : tree_) {
            dirs += DirSize(names.size());
            for (const auto& [name, languages] : names) dirs += DirSize(languages.size());
        }
        size_t strings = dirs;
        for (const auto& [type, names] : tree_) {
            AddString(type, strings);
            for (const auto& [name, languages] : names) AddString(name, strings);
        }
        dataEntries_ = static_cast<size_t>(AlignUp(strings, kDataAlignment));
        head_.assign(dataEntries_ + items_.size() * kDataEntryBytes, 0);
    }

    size_t headSize() const { return head_.size(); }

    // Fills in the directories and the data entries, given where each item's
    // data lies (section offsets) and the section's address.
    std::vector<uint8_t> Fill(const std::vector<uint64_t>& dataOffset, uint32_t rva) {
        size_t nextDir = DirSize(tree_.size());
        size_t nextData = dataEntries_;
        size_t slot = kDirBytes;
        for (const auto& [type, names] : tree_) {
            PutEntry(0, slot, type, nextDir, true);
            slot += kEntryBytes;
            const size_t typeDir = nextDir;
            nextDir += DirSize(names.size());
            size_t nameSlot = typeDir + kDirBytes;
            for (const auto& [name, languages] : names) {
                PutEntry(typeDir, nameSlot, name, nextDir, true);
                nameSlot += kEntryBytes;
                const size_t nameDir = nextDir;
                nextDir += DirSize(languages.size());
                size_t langSlot = nameDir + kDirBytes;
                for (const auto& [language, index] : languages) {
                    PutEntry(nameDir, langSlot, ResourceKey::Id(language), nextData, false);
                    langSlot += kEntryBytes;
                    PutData(nextData, items_[index], rva + dataOffset[index]);
                    nextData += kDataEntryBytes;
                }
            }
        }
        return head_;
    }

  private:
    static size_t DirSize(size_t entries) { return kDirBytes + entries * kEntryBytes; }

    void AddString(const ResourceKey& key, size_t& at) {
        if (!key.named || stringAt_.count(key.name)) return;
        stringAt_[key.name] = at;
        at += 2 + key.name.size() * 2;
    }

    void PutEntry(size_t dir, size_t slot, const ResourceKey& key, size_t target, bool directory) {
        uint32_t keyField = key.id;
        if (key.named) {
            const size_t at = stringAt_.at(key.name);
            keyField = static_cast<uint32_t>(at) | kHighBit;
            PeWrite16(&head_[at], static_cast<uint16_t>(key.name.size()));
            for (size_t i = 0; i < key.name.size(); ++i)
                PeWrite16(&head_[at + 2 + i * 2], key.name[i]);
        }
        PeWrite32(&head_[slot], keyField);
        PeWrite32(&head_[slot + 4], static_cast<uint32_t>(target) | (directory ? kHighBit : 0));
        // Each directory records how many of its entries are named and numbered.
        uint8_t* counts = &head_[dir + (key.named ? 12 : 14)];
        PeWrite16(counts, static_cast<uint16_t>(PeRead16(counts) + 1));
    }

    void PutData(size_t at, const ResourceItem& item, uint64_t rva) {
        PeWrite32(&head_[at], static_cast<uint32_t>(rva));
        PeWrite32(&head_[at + 4], static_cast<uint32_t>(item.size));
        PeWrite32(&head_[at + 8], item.codePage);
    }

    const TypeMap& tree_;
    const std::vector<ResourceItem>& items_;
    std::map<std::u16string, size_t> stringAt_;
    size_t dataEntries_ = 0;
    std::vector<uint8_t> head_;
};

}  // namespace

bool ResourceTree::Layout(uint32_t rva, ResourceLayout& out, std::string& error) const {
    TypeMap tree;
    for (size_t i = 0; i < items_.size(); ++i)
        tree[items_[i].type][items_[i].name][items_[i].language] = i;
    HeadWriter head(tree, items_);
    head.Measure();
    std::vector<uint64_t> dataOffset(items_.size(), 0);
    uint64_t at = head.headSize();
    out.order.clear();
    out.offsets.clear();
    // Data in directory order, so equal inputs give equal sections.
    for (const auto& [type, names] : tree)
        for (const auto& [name, languages] : names)
            for (const auto& [language, index] : languages) {
                at = AlignUp(at, kDataAlignment);
                dataOffset[index] = at;
                out.order.push_back(index);
                out.offsets.push_back(at);
                at += items_[index].size;
            }
    if (uint64_t{rva} + at > 0xFFFFFFFFu) {
        error = "the resources do not fit in a 32-bit image";
        return false;
    }
    out.head = head.Fill(dataOffset, rva);
    out.size = at;
    return true;
}
