#include "ui/UIHLayout.h"

#include <vector>

#include "ui/AttributeParse.h"
#include "ui/UIControl.h"

void UIHLayout::Arrange(UIControl* parent) {
    if (arranging_) return;
    UIRefPtr<UILayout> keep(this);  // a child may replace the parent's layout
    arranging_ = true;
    RECT c;
    parent->GetClientRect(c);
    struct Part {
        UIRefPtr<UIControl> control;
        SIZE desired;
    };
    std::vector<Part> parts;
    long long sum = 0;
    int adjCount = 0;
    for (UIControl* child : parent->Children()) {
        if (!child->IsVisibleBit() || child->IsFloat()) continue;
        Part part{UIRefPtr<UIControl>(child), SIZE{0, 0}};
        child->GetDesiredSize(part.desired);
        sum += part.desired.cx;
        if (child->IsAdj()) ++adjCount;
        parts.push_back(std::move(part));
    }
    const int width = c.right - c.left, height = c.bottom - c.top;
    int share = 0;
    if (sum < width && adjCount > 0) share = static_cast<int>((width - sum) / adjCount);
    long long x = c.left;  // wide: hostile sizes must not overflow
    for (Part& part : parts) {
        if (part.control->IsAdj()) {
            part.control->Move(ClampToInt(x), c.top, share, height);
            x += share;
        } else {
            part.control->Move(ClampToInt(x), c.top, part.desired.cx, part.desired.cy);
            x += part.desired.cx;
        }
    }
    arranging_ = false;
}
