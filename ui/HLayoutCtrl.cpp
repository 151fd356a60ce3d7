#include "ui/HLayoutCtrl.h"

#include <vector>

#include "ui/AttributeParse.h"

namespace {

bool IsAdjustable(const UIControl* child) { return !child->GetAttribute(L"adj").empty(); }

}  // namespace

void HLayoutCtrl::SetAttribute(const std::wstring& name, const std::wstring& value) {
    UIControl::SetAttribute(name, value);
    if (name == L"halign") {
        halign_ = ParseInt(value);
    } else if (name == L"space") {
        space_ = ParseInt(value);
    } else if (name == L"xstart") {
        xstart_ = ParseInt(value);
    }
}

int HLayoutCtrl::OnCreate(LPARAM lParam) {
    Layout();
    return 0;
}

void HLayoutCtrl::Layout() {
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
            fixed += space_ + child->Width();
        }
    }
    const int W = Width(), H = Height();
    long long share = 0;
    if (count > 0) share = std::max<long long>(0, (xstart_ + space_ + W - fixed) / count);
    if (halign_ == 0) {
        long long x = xstart_;
        for (const auto& child : parts) {
            const int w = child->Width(), h = child->Height();
            child->Move(ClampToInt(x), H / 2 - h / 2, w, h);
            x += IsAdjustable(child.get()) ? share : w + space_;
        }
    } else if (halign_ == 2) {
        long long x = W - static_cast<long long>(xstart_);
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            UIControl* child = it->get();
            const int w = child->Width(), h = child->Height();
            const bool adjustable = IsAdjustable(child);
            const long long a = adjustable ? share : w;
            child->Move(ClampToInt(x - a), H / 2 - h / 2, w, h);
            x -= adjustable ? a : w + space_;
        }
    }
    Invalidate(nullptr);
}
