#include "ui/UILayout.h"

#include "ui/AttributeParse.h"
#include "ui/UIControl.h"
#include "ui/UIHLayout.h"
#include "ui/UIVLayout.h"

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
