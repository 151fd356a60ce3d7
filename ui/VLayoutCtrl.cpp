#include "ui/VLayoutCtrl.h"

#include <vector>

#include "ui/AttributeParse.h"

namespace {

bool IsAdjustable(const UIControl* child) { return !child->GetAttribute(L"adj").empty(); }

}  // namespace

void VLayoutCtrl::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"halign") {
        halign_ = ParseInt(value);
    } else if (name == L"valign") {
        valign_ = ParseInt(value);
    } else if (name == L"space") {
        space_ = ParseInt(value);
    }
    UIControl::SetAttribute(name, value);
}

int VLayoutCtrl::OnCreate(LPARAM lParam) {
    Layout();
    return 0;
}

void VLayoutCtrl::Layout() {
    if (Children().empty()) return;
    std::vector<UIRefPtr<UIControl>> parts;
    long long fixed = 0;
    int count = 0;
    for (UIControl* child : Children()) {
        if (!child->IsVisibleBit()) continue;
        parts.emplace_back(child);
        if (IsAdjustable(child)) {
            ++count;
        } else {
            fixed += space_ + child->Height();
        }
    }
    const int W = Width(), H = Height();
    long long share = 0;
    if (count > 0) share = std::max<long long>(0, (H - fixed) / count);
    long long y = 0;
    for (const auto& child : parts) {
        const int w = child->Width(), h = child->Height();
        const int x = halign_ == 0 ? 0 : halign_ == 1 ? W / 2 - w / 2 : W - w;
        child->Move(x, ClampToInt(y), w, h);
        y += IsAdjustable(child.get()) ? share : h + space_;
    }
    Invalidate(nullptr);
}
