#pragma once
// An edit field that is a real child "EDIT" window of the host window. The
// control describes the window (class, style, font, text), creates it once
// it has a host window, keeps it on the control's place and visibility, and
// raises "vkreturn" after the window has taken an Enter.
#include "app/Handles.h"
#include "ui/UINativeCtrl.h"

class UINativeEdit : public UINativeCtrl {
  public:
    // Child, visible, automatic horizontal scrolling.
    static constexpr DWORD kBaseStyle = 0x50000080;
    static constexpr int kDefaultFontSize = 13;

    const char* GetClassName() override { return "UINativeEdit"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    void OnPositionChanged() override;

    const wchar_t* GetNativeClassName() override { return L"EDIT"; }
    DWORD GetNativeStyle() override;
    LRESULT NativeWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNativeCreated() override;

    // Creates the window when the control has a host window and none yet.
    bool EnsureNativeWindow();
    int FontSize() const { return fontSize_; }
    HFONT NativeFont() const { return static_cast<HFONT>(font_.get()); }

  private:
    void PlaceNativeWindow();
    void ReadNativeText();

    bool password_ = false;
    bool multiline_ = false;
    bool border_ = false;
    int fontSize_ = kDefaultFontSize;
    UniqueGdiObject font_;
};
