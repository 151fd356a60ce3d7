#pragma once
// A horizontal 0 to 100 slider: a track image, a filled part that grows
// with the position and a thumb drawn from a strip of four frames (normal,
// hover, dragging, disabled). A press on the track jumps to the point; a
// press on the thumb drags it.
#include "ui/UIControl.h"

class SkinBitmap;

class UISlider : public UIControl {
  public:
    const char* GetClassName() override { return "UISlider"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    int GetPosition() const { return position_; }
    // Clamps to 0 to 100, raises "sliderposchanged" (also when the value
    // stays) and repaints.
    void SetPosition(int position);
    // The thumb's hit rectangle in local coordinates (full height).
    RECT GetThumbRect();
    // A quarter of the thumb strip, or 20 without a thumb image.
    int ThumbFrameWidth();
    bool IsDragging() const { return dragging_; }
    bool IsThumbHover() const { return thumbHover_; }

  private:
    void OnMouseMove(POINT pt);
    void OnLButtonDown(POINT pt);
    void OnLButtonUp();
    void OnCaptureLost();
    void OnMouseLeave();
    // The x of the current position along the width.
    int PositionX() const;
    int ThumbLeft(int x, int half);
    int ThumbFrameIndex() const;
    void DrawTrack(Gdiplus::Graphics& graphics, SkinBitmap* image, int width);
    void DrawThumb(Gdiplus::Graphics& graphics);

    // Owned by the resource manager's cache.
    SkinBitmap* thumb_ = nullptr;
    SkinBitmap* trackBack_ = nullptr;
    SkinBitmap* trackFore_ = nullptr;
    bool thumbHover_ = false;
    int position_ = 0;
    POINT dragStart_ = {0, 0};
    int dragStartPosition_ = 0;
    bool dragging_ = false;
};
