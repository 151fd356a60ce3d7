#pragma once
// Four looks of one control part, by state index (normal, hover, pressed,
// disabled): button faces, check box boxes, switch faces. They come from a
// skin image cut into four equal frames, or one render spec per state.
#include <string>

#include "ui/UIRefObj.h"
#include "ui/UIRender.h"

class UIStateImages {
  public:
    // Cuts the named image into four frames side by side (or stacked when
    // vertical). An image that cannot be loaded, or one too small to give
    // four frames of at least one pixel, leaves all four empty. The frames
    // are drawn with the image draw type given (stretched by default).
    void LoadStrip(const std::wstring& imageName, bool vertical, int drawType = 0);
    // Replaces one look by the render a render spec makes (none if invalid).
    void SetSpec(int index, const std::wstring& spec);

    // The look of the index; null when empty or out of range.
    UIRender* Get(int index) const;
    // The look of the index, or the normal one when that slot is empty.
    UIRender* GetOrNormal(int index) const;

    static constexpr int kCount = 4;

  private:
    void Clear();

    UIRefPtr<UIRender> renders_[kCount];
};
