#pragma once
// Render specs: short strings such as "img:file=img\bg.png|type=3" that say
// how to paint a control's rectangle. A control owns one reference to the
// render object of its "back" attribute.
#include <windows.h>

#include <string>

#include "ui/UIRefObj.h"

namespace Gdiplus {
class Graphics;
}
class UIControl;

class UIRender : public UIRefObj {
  public:
    // Paints over the control's local rectangle, in the control's state.
    virtual void Draw(UIControl* control, Gdiplus::Graphics& graphics) = 0;
    // One key=value item of a look string such as "img:file=...|type=3";
    // unknown keys are ignored.
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value) = 0;
    // Image renders only: where the image goes.
    virtual void SetDstRect(const RECT& rc) {}
};

// The render object a look string describes, or null for an unknown prefix. The
// body's items go to the new object's SetAttribute, "css" items through the
// style table.
UIRender* ParseRenderSpec(const std::wstring& value);
