#pragma once
// A bar filled to a percentage. The installer's progress page sets "value"
// on every progress report while the payload is extracted, so setting it
// repaints only the columns whose pixels change.
#include "ui/UIControl.h"
#include "ui/UIRefObj.h"

class UIRenderImg;

class UIProgress : public UIControl {
  public:
    UIProgress();
    ~UIProgress() override;

    const char* GetClassName() override { return "UIProgress"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    // The percentage, kept within 0 to 100.
    int GetValue() const { return value_; }
    void SetValue(int value);
    // The filled width for the current size and value (0 to the width).
    int FillWidth() const;

  private:
    void SetImage(UIRefPtr<UIRenderImg>& render, const std::wstring& file);
    void SetDrawType(const std::wstring& type);
    void DrawBar(Gdiplus::Graphics& graphics, int fill);
    // True when a fill of `fill` columns paints each column the same whatever
    // the fill is, so that a change only touches the columns in between.
    bool FillIsCut(int fill);
    void InvalidateFillChange(int from, int to);

    int value_ = 0;
    UIRefPtr<UIRenderImg> trackRender_;  // "prob"
    UIRefPtr<UIRenderImg> barRender_;    // "prof"
};
