#pragma once
// A strip by which the user drags a borderless window (the system's own
// move loop) and, on a window that may be maximised, maximises or restores
// it by double-click.
#include "ui/UIControl.h"

class UICaption : public UIControl {
  public:
    const char* GetClassName() override { return "UICaption"; }
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool IsPressedWhileMaximised() const { return pressedWhileMaximised_; }

  private:
    void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnDoubleClick();

    bool pressedWhileMaximised_ = false;
    bool dragEnabled_ = true;
};
