#pragma once
// One named skin image ("back") drawn stretched over the control. The name
// is looked up at every paint, so an image added to the skin later shows.
#include <string>

#include "ui/UIControl.h"

class UIImage : public UIControl {
  public:
    const char* GetClassName() override { return "UIImage"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;

    const std::wstring& GetImageName() const { return imageName_; }

  private:
    std::wstring imageName_;
};
