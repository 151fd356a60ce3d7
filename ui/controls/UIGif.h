#pragma once
// An animation: a numbered sequence of skin images ("gif" patterns) shown
// one after the other, each centred at its own size, while the control's
// timer runs and the control is visible.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/UIControl.h"

class UIGif : public UIControl {
  public:
    static constexpr int kTimerNumber = 3;
    static constexpr UINT kTimerPeriod = 10;
    static constexpr int kDefaultInterval = 30;
    // Bounds of the frame list: a frame name, and the frames all "gif"
    // values of one control may add together.
    static constexpr size_t kMaxNameLength = 260;
    static constexpr size_t kMaxFrames = 1024;

    const char* GetClassName() override { return "UIGif"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Moves to the next frame if one is due and the control is visible.
    void Advance();

    const std::vector<std::wstring>& GetFrames() const { return frames_; }
    int GetCurrentFrame() const { return current_; }
    bool IsAutoShowHide() const { return autoShowHide_; }

  protected:
    // The clock, in milliseconds of the system tick count.
    virtual DWORD Now() { return ::GetTickCount(); }

  private:
    void AddFrames(const std::wstring& value);
    void Start();
    void Stop();

    DWORD lastAdvance_ = 0;
    int interval_ = kDefaultInterval;
    std::vector<std::wstring> frames_;
    int current_ = 0;
    bool autoShowHide_ = false;
};

// The frame name a pattern such as "img\w%d.png" gives for a number: the
// one decimal conversion ("%d", "%i" or "%u" with optional "0" flag and
// width below 10) replaced by the number, "%%" by "%". False when the
// pattern holds no such conversion, more than one or any other "%" item.
bool FormatFrameName(const std::wstring& pattern, long long number, std::wstring& out);
