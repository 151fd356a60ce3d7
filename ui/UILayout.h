#pragma once
// Layout strategies: a parent's "layout" attribute names one, and the
// parent's Layout hands its children to it. The base class is the fill
// ("hzvt"): every non-floating child is stretched over the client area.
#include <string>

#include "ui/UIRefObj.h"

class UIControl;

class UILayout : public UIRefObj {
  public:
    UILayout(int h = 0, int v = 0) : h_(h), v_(v) {}
    virtual void Arrange(UIControl* parent);
    // Accepts "h" and "v"; other keys are ignored. No arrangement reads them.
    virtual void SetOption(const std::wstring& key, const std::wstring& value);
    int OptionH() const { return h_; }
    int OptionV() const { return v_; }

  protected:
    // The "horz" and "vert" stacks: fixed children keep their desired size
    // along the axis, "adj" children share what is left.
    void ArrangeStack(UIControl* parent, bool horizontal);
    // Set while a stack arranges, so a child's resize cannot re-enter it.
    bool arranging_ = false;

  private:
    int h_;
    int v_;
};

// "horz", "vert" or "hzvt", optionally followed by one separator character
// and "h=..|v=.."; null for any other value.
UILayout* CreateLayout(const std::wstring& value);
