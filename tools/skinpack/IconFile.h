#pragma once
// An icon file (.ico) read into its images, every directory entry checked
// against the file before it is used, and the group directory that names
// those images as icon resources. Portable: no platform headers.
#include <cstdint>
#include <string>
#include <vector>

// One image of an icon: its directory entry's description and its bytes (a
// bitmap without the file header, or a PNG file).
struct IconImage {
    uint8_t width = 0;  // 0 means 256
    uint8_t height = 0;
    uint8_t colorCount = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    std::vector<uint8_t> bytes;
};

class IconFile {
  public:
    // Icons of more images than this are refused; real ones hold a dozen.
    static constexpr size_t kMaxImages = 256;

    // Takes the file's bytes; false with a message when they are not an
    // icon file whose every image lies inside it and is a bitmap or a PNG.
    bool Parse(const std::vector<uint8_t>& bytes, std::string& error);
    const std::vector<IconImage>& images() const { return images_; }
    // The group icon resource: the directory of the images, which are
    // stored as icon resources `firstId`, `firstId` + 1, ... in this order.
    std::vector<uint8_t> GroupDirectory(uint16_t firstId) const;

  private:
    bool ParseImage(const std::vector<uint8_t>& bytes, size_t index, size_t dataStart,
                    std::string& error);

    std::vector<IconImage> images_;
};
