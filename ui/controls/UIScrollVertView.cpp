#include "ui/controls/UIScrollVertView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ui/AttributeParse.h"
#include "ui/UIControlRegistry.h"
#include "ui/controls/UIScrollBar.h"

namespace {

// A new control attached to parent; the caller's reference stays its own.
template <typename T>
UIRefPtr<T> MakePart(UIControl& parent) {
    UIRefPtr<T> part = UIRefPtr<T>::Adopt(new T());
    part->AddRef();  // the reference the children list takes over
    parent.AddChild(part.get());
    return part;
}

}  // namespace

UIScrollVertView::UIScrollVertView() {
    clip_ = MakePart<UIControl>(*this);
    content_ = MakePart<UIControl>(*clip_);
    content_->SetAttribute(L"layout", L"vert");
    bar_ = MakePart<UIScrollBar>(*this);
    bar_->AddListener(reinterpret_cast<void*>(static_cast<uintptr_t>(Handle())), &OnBarEvent);
}

UIScrollVertView::~UIScrollVertView() = default;

void UIScrollVertView::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"hscrollwidth") {
        barWidth_ = ParseInt(value);
        return;
    }
    UIControl::SetAttribute(name, value);
}

// ---- Layout ----------------------------------------------------------------

int UIScrollVertView::ContentHeight() const {
    int64_t sum = 0;
    for (UIControl* child : content_->Children()) {
        if (!child->IsVisibleBit()) continue;
        SIZE size;
        child->GetDesiredSize(size);
        sum += size.cy;
    }
    return ClampToInt(sum);
}

void UIScrollVertView::PlaceHeader(int& top, int& height) {
    const int w = Width(), h = Height();
    top = 1;
    height = h - 2;
    UIControl* header = nullptr;
    for (UIControl* child : Children()) {
        if (child->GetId() == L"header") {
            header = child;
            break;
        }
    }
    if (!header) return;
    MoveChildToFront(header);
    Invalidate(nullptr);
    if (!header->IsVisibleBit()) return;
    const int headerHeight = header->Height();
    header->Move(1, 1, std::max(w - 2, 0), headerHeight);
    top = headerHeight + 1;
    height = h - 2 - (headerHeight + 1);
}

void UIScrollVertView::Layout() {
    UIControl::Layout();
    const int w = Width(), h = Height();
    const int contentHeight = ContentHeight();
    int top = 1, listHeight = 0;
    PlaceHeader(top, listHeight);
    listHeight = std::max(listHeight, 0);
    clip_->Move(1, top, std::max(w - 2, 0), listHeight);
    bar_->SetTotal(contentHeight);
    bar_->SetPage(listHeight);
    bar_->ClampScrollPos();
    const int contentWidth = std::max(w - 4, 0);
    if (listHeight >= contentHeight) {
        content_->Move(1, 0, contentWidth, contentHeight);
        ShowBar(false);
    } else {
        content_->Move(1, -bar_->GetScrollPos(), contentWidth, contentHeight);
        bar_->Move(w - 2 - barWidth_ - 1, 0, barWidth_, h);
        ShowBar(true);
    }
    Invalidate(nullptr);
}

void UIScrollVertView::ShowBar(bool show) {
    if (show) {
        if (!bar_->IsVisibleBit()) bar_->SendMessage(WM_SHOWWINDOW, 1, 0);
        return;
    }
    bar_->Invalidate(nullptr);  // while still visible: hidden controls invalidate nothing
    bar_->SendMessage(WM_SHOWWINDOW, 0, 0);
}

// ---- Scrolling -------------------------------------------------------------

void UIScrollVertView::OnBarEvent(void* handle, UIEvent& event) {
    if (event.name != "scollposchanged") return;
    const auto h = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
    // Handles are never reused, so the control found is this view or none.
    auto* view = static_cast<UIScrollVertView*>(UIControlRegistry::Instance().Find(h));
    if (view) view->OnScrollPosChanged();
}

void UIScrollVertView::OnScrollPosChanged() {
    // Only the origin changes: SetPos keeps the content's own arrangement.
    content_->SetPos(1, -bar_->GetScrollPos(), content_->Width(), content_->Height());
    content_->Invalidate(nullptr);
}

bool UIScrollVertView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_MOUSEWHEEL && OnWheel(wParam)) {
        result = 0;
        return true;
    }
    return UIControl::HandleMessage(msg, wParam, lParam, result);
}

// At either end the wheel goes on to the parent, so an outer view scrolls.
bool UIScrollVertView::OnWheel(WPARAM wParam) {
    const int64_t total = bar_->GetTotal(), page = bar_->GetPage(), pos = bar_->GetScrollPos();
    if (GET_WHEEL_DELTA_WPARAM(wParam) <= 0) {
        if (page >= total || pos >= total - page) return false;
        bar_->SetScrollPos(ClampToInt(pos + wheelStep_));
        return true;
    }
    if (pos == 0) return false;
    bar_->SetScrollPos(ClampToInt(pos - wheelStep_));
    return true;
}
