#pragma once
// What the benchmarks share: synthetic skin images served as the skin's
// loader, and median timing. Figures only; nothing here ever fails a run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"

// An opaque w x h 32-bit BMP file.
inline std::vector<uint8_t> MakeOpaqueBmp(int w, int h) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + w * h * 4;
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<uint8_t> out(file.bfSize, 0x80);
    std::memcpy(out.data(), &file, sizeof(file));
    std::memcpy(out.data() + sizeof(file), &info, sizeof(info));
    return out;
}

// Serves opaque images by name; a name not added gets the default image
// (none unless SetDefault was called).
class BenchImageLoader : public UIResLoader {
  public:
    void SetDefault(int w, int h) { default_ = Make(w, h); }
    void Add(const std::wstring& name, int w, int h) { images_[name] = Make(w, h); }
    std::string GetFileData(const std::wstring&) override { return {}; }
    SkinBitmap* GetImage(const std::wstring& name) override {
        auto it = images_.find(name);
        return it == images_.end() ? default_.get() : it->second.get();
    }

  private:
    static std::unique_ptr<SkinBitmap> Make(int w, int h) {
        const std::vector<uint8_t> bmp = MakeOpaqueBmp(w, h);
        return std::unique_ptr<SkinBitmap>(DecodeImage(bmp.data(), bmp.size()));
    }
    std::unique_ptr<SkinBitmap> default_;
    std::map<std::wstring, std::unique_ptr<SkinBitmap>> images_;
};

// The median over `rounds` rounds of the time of one fn(i) call, in
// microseconds; each round calls fn(0) .. fn(perRound - 1).
template <typename Fn>
double MedianMicros(int rounds, int perRound, Fn&& fn) {
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perRound; ++i) fn(i);
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count() /
                          perRound);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
