#pragma once
// A thin self-drawn scroll bar: only a pill-shaped thumb over a transparent
// track. The thumb's length shows the visible part (page) of the content
// (total), its place the position; dragging it scrolls.
#include <cstdint>

#include "ui/UIControl.h"

class UIScrollBar : public UIControl {
  public:
    // Style flags A bit used as the dragging flag.
    static constexpr uint8_t kStyleDragging = 0x20;
    static constexpr int kMinThumbLength = 32;

    const char* GetClassName() override { return "UIScrollBar"; }
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    // Clamps to [0, total - page]; a change repaints and raises
    // "scollposchanged" (0, position).
    void SetScrollPos(int value);
    int GetScrollPos() const { return position_; }
    // Keeps the position within [0, total - page] without raising an event,
    // for owners that place the content themselves.
    void ClampScrollPos();
    void SetTotal(int total);
    void SetPage(int page);
    int GetTotal() const { return total_; }
    int GetPage() const { return page_; }
    void SetHorizontal(bool horizontal);
    bool IsHorizontal() const { return horizontal_; }
    // False when everything fits (no thumb); else the thumb in local
    // coordinates.
    bool GetThumbRect(RECT& rc);
    bool IsDragging() const { return HasStyleA(kStyleDragging); }
    bool IsThumbHover() const { return thumbHover_; }

  private:
    int TrackLength() const { return horizontal_ ? Width() : Height(); }
    int Along(POINT pt) const { return horizontal_ ? pt.x : pt.y; }
    int ClampedPos(int64_t value) const;
    bool IsOnThumb(POINT pt);
    void OnLButtonDown(POINT pt);
    void OnMouseMove(POINT pt);
    void OnLButtonUp();
    void OnMouseLeave();
    uint32_t ThumbColor() const;

    uint32_t normalColor_ = 0xB494A1AF;
    uint32_t hoverColor_ = 0xD294A1AF;
    uint32_t pressedColor_ = 0xFF94A1AF;
    int total_ = 0;
    int page_ = 0;
    int position_ = 0;
    int dragStartPosition_ = 0;
    POINT dragStart_ = {0, 0};
    bool thumbHover_ = false;
    bool horizontal_ = false;
    int grabOffset_ = 0;
};
