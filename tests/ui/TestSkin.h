#pragma once
// A skin package made in memory for one test, indexed and served by its own
// resource manager, which is the process's loader while the object lives.
#include <string>
#include <utility>
#include <vector>

#include "package/PackageFormat.h"
#include "package/PackageIndex.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIResoureMgr.h"

// GDI+ for decoding and drawing; started once, never shut down (cached
// images live in static managers until the process ends).
inline void EnsureGdiplus() {
    static ULONG_PTR token = [] {
        ULONG_PTR t = 0;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&t, &input, nullptr);
        return t;
    }();
    (void)token;
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

class TestSkin {
  public:
    // Entries as (package name, bytes); names are stored exactly as given.
    explicit TestSkin(const std::vector<std::pair<std::u16string, std::vector<uint8_t>>>& files) {
        EnsureGdiplus();
        std::vector<PackageInput> inputs;
        for (const auto& f : files) inputs.push_back(PackageInput{f.first, f.second});
        WritePackage(inputs, bytes_);
        index_.BuildIndex(bytes_.data(), bytes_.size());
        previous_ = SetResLoader(&manager_);
    }
    ~TestSkin() { SetResLoader(previous_); }
    TestSkin(const TestSkin&) = delete;
    TestSkin& operator=(const TestSkin&) = delete;

    UIResoureMgr& Manager() { return manager_; }

  private:
    std::vector<uint8_t> bytes_;
    PackageIndex index_;
    UIResoureMgr manager_{index_};
    UIResLoader* previous_ = nullptr;
};
