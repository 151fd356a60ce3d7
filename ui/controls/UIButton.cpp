#include "ui/controls/UIButton.h"

#include <cstring>
#include <vector>

#include "ui/AttributeParse.h"
#include "ui/StateIndex.h"

namespace {

// The message the host sends when a control loses the mouse capture.
constexpr UINT kCaptureLost = 533;

// The state render index an attribute such as "bkh" sets, or -1.
int StateSpecIndex(const std::wstring& name) {
    static const wchar_t* const kNames[] = {L"bkn", L"bkh", L"bkp", L"bkd"};
    for (int i = 0; i < 4; ++i) {
        if (name == kNames[i]) return i;
    }
    return -1;
}

UIControl* TopAncestor(UIControl* control) {
    while (control->GetParent()) control = control->GetParent();
    return control;
}

}  // namespace

UIButton::UIButton() {
    SetStyleB(kStyleFocusable, true);
    UIControl::SetAttribute(L"cursor", L"hand");
}

void UIButton::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"group") {
        group_ = value;
    } else if (name == L"page") {
        page_ = value;
    } else if (name == L"btn") {
        stateImages_.LoadStrip(value, false);
    } else if (name == L"vbtn") {
        stateImages_.LoadStrip(value, true);
    } else if (int index = StateSpecIndex(name); index >= 0) {
        stateImages_.SetSpec(index, value);
    } else if (name == L"backrect") {
        UIPosValue p;
        if (ParseRect(value, p)) backRect_ = MakeRect(p.x, p.y, p.w, p.h);
    }
    UILabel::SetAttribute(name, value);
}

// ---- Painting ------------------------------------------------------------

UIRender* UIButton::GetStateRender(int index) { return stateImages_.GetOrNormal(index); }

void UIButton::PaintStateImage(Gdiplus::Graphics& graphics) {
    UIRender* render = GetStateRender(GetStateIndex(this));
    if (!render) return;
    if (!::IsRectEmpty(&backRect_)) render->SetDstRect(backRect_);
    render->Draw(this, graphics);
}

void UIButton::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    PaintStateImage(graphics);
    DrawLabelText(graphics);
}

// ---- Mouse -----------------------------------------------------------------

void UIButton::UpdateState(uint32_t newState) {
    const uint32_t oldState = GetState();
    if (newState == oldState) return;
    SetState(newState);
    OnStateChanged(oldState, newState);
    if (RedrawOnStateChange()) Invalidate(nullptr);
}

void UIButton::OnLButtonDown() {
    IUIContainer* host = GetHost();
    if (host) {
        const bool usable = (GetState() & (kStateHidden | kStateDisabled)) == 0;
        if (IsFocusable() && usable) host->FocusControl(Handle(), 0);
        host->CaptureControl(Handle());
    }
    UpdateState(GetState() | kStatePressed);
}

void UIButton::OnLButtonUp(int x, int y) {
    // Only a press that began here (and so holds the capture) can complete
    // a click, and only when the release is inside the button.
    bool inside = false;
    IUIContainer* host = GetHost();
    if (host && host->GetCapturedControl() == Handle()) {
        inside = HitTestPoint(POINT{x, y});
        host->ReleaseControlCapture();
    }
    UpdateState(GetState() & ~kStatePressed);
    if (inside) OnClick();
}

void UIButton::ProcessMessage(UIMessage& record) {
    switch (record.msg) {
        case WM_LBUTTONDOWN:
            OnLButtonDown();
            break;
        case WM_LBUTTONUP:
            OnLButtonUp(record.x, record.y);
            break;
        case kCaptureLost:
            UpdateState(GetState() & ~kStatePressed);
            break;
        // Unlike the base control, hover and leave keep the pressed flag: a
        // button dragged off keeps its pressed look until released.
        case WM_MOUSEHOVER:
            UpdateState(GetState() | kStateHover);
            break;
        case WM_MOUSELEAVE:
            UpdateState(GetState() & ~kStateHover);
            break;
        default:
            UIControl::ProcessMessage(record);
            return;
    }
    record.result = 0;
    SetHandled();
}

// ---- Click -----------------------------------------------------------------

void UIButton::SelectPage(UIButton* tab, UIControl* root) {
    const bool selected = tab == this;
    if (tab->HasStyleA(kStyleSelect) != selected) {
        tab->SetStyleA(kStyleSelect, selected);
        tab->Invalidate(nullptr);
    }
    // An empty page would find the first control without an id (usually
    // the window's root), which a tab must never hide.
    if (tab->page_.empty()) return;
    UIControl* page = root->FindById(tab->page_);
    if (!page || page->IsVisibleBit() == selected) return;
    UIRefPtr<UIControl> hold(page);
    if (!selected) page->Invalidate(nullptr);  // while still visible
    page->SetStyleA(kStyleVisible, selected);
    page->SendMessage(WM_SHOWWINDOW, selected ? 1 : 0, 0);
}

void UIButton::SwitchPages() {
    UIControl* parent = GetParent();
    if (!parent) return;
    UIControl* root = TopAncestor(this);
    std::vector<UIRefPtr<UIControl>> siblings;
    for (UIControl* c : parent->Children()) siblings.emplace_back(c);
    for (const auto& sibling : siblings) {
        // Only plain buttons take part: links, check boxes and other
        // derived buttons never act as tabs.
        if (std::strcmp(sibling->GetClassName(), "UIButton") != 0) continue;
        UIButton* tab = dynamic_cast<UIButton*>(sibling.get());
        if (tab && tab->group_ == group_) SelectPage(tab, root);
    }
}

void UIButton::OnClick() {
    if (!group_.empty()) SwitchPages();
    Notify("click", 0, 0);
}
