#pragma once
// The "img:" render: a skin image drawn into the control (or a part of it)
// with one of the slicing modes, e.g. "img:file=img\btn.png|type=1".
#include "ui/UIRender.h"

class SkinBitmap;

class UIRenderImg : public UIRender {
  public:
    void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void SetDstRect(const RECT& rc) override { dst_ = rc; }

    SkinBitmap* GetImage() const { return image_; }
    int GetDrawType() const { return type_; }

  private:
    // Owned by the resource manager's cache, which outlives every window.
    SkinBitmap* image_ = nullptr;
    RECT dst_ = {0, 0, 0, 0};  // empty: the whole control
    RECT src_ = {0, 0, 0, 0};  // empty: the whole image
    int type_ = 0;
};
