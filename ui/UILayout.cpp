#include "ui/UILayout.h"

#include <vector>

#include "ui/AttributeParse.h"
#include "ui/UIControl.h"
#include "ui/UIHLayout.h"
#include "ui/UIVLayout.h"

void UILayout::ArrangeStack(UIControl* parent, bool horizontal) {
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
        sum += horizontal ? part.desired.cx : part.desired.cy;
        if (child->IsAdj()) ++adjCount;
        parts.push_back(std::move(part));
    }
    const int width = c.right - c.left, height = c.bottom - c.top;
    const int room = horizontal ? width : height;
    int share = 0;
    if (sum < room && adjCount > 0) share = static_cast<int>((room - sum) / adjCount);
    long long at = horizontal ? c.left : c.top;  // wide: hostile sizes must not overflow
    for (Part& part : parts) {
        const bool adj = part.control->IsAdj();
        if (horizontal) {
            // A fixed child keeps its own height; an "adj" one fills the bar.
            part.control->Move(ClampToInt(at), c.top, adj ? share : part.desired.cx,
                               adj ? height : part.desired.cy);
            at += adj ? share : part.desired.cx;
        } else {
            // Every child of a column spans its width.
            part.control->Move(c.left, ClampToInt(at), width, adj ? share : part.desired.cy);
            at += adj ? share : part.desired.cy;
        }
    }
    arranging_ = false;
}

void UILayout::Arrange(UIControl* parent) {
    RECT c;
    parent->GetClientRect(c);
    // A copy with references: a child's layout may change the child list.
    std::vector<UIRefPtr<UIControl>> children;
    for (UIControl* child : parent->Children()) children.emplace_back(child);
    for (const auto& child : children) {
        if (child->IsFloat()) continue;
        child->Move(c.left, c.top, c.right - c.left, c.bottom - c.top);
    }
}

void UILayout::SetOption(const std::wstring& key, const std::wstring& value) {
    if (key == L"h") {
        h_ = ParseInt(value);
    } else if (key == L"v") {
        v_ = ParseInt(value);
    }
}

UILayout* CreateLayout(const std::wstring& value) {
    std::wstring_view kind = std::wstring_view(value).substr(0, 4);
    UILayout* layout = nullptr;
    if (kind == L"horz") {
        layout = new UIHLayout();
    } else if (kind == L"vert") {
        layout = new UIVLayout();
    } else if (kind == L"hzvt") {
        layout = new UILayout();
    } else {
        return nullptr;
    }
    if (value.size() > 5) {
        ForEachSpecItem(
            std::wstring_view(value).substr(5),
            [layout](const std::wstring& k, const std::wstring& v) { layout->SetOption(k, v); });
    }
    return layout;
}
