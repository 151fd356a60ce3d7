#include "ui/controls/UIComboListWidget.h"

#include <algorithm>

#include "ui/UIControlRegistry.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIComboBoxItem.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

constexpr wchar_t kEscape = 27;
constexpr int kListMargin = 2;

}  // namespace

UIComboListWidget::UIComboListWidget()
    : background_(UIRefPtr<UIControl>::Adopt(new UIControl())),
      list_(UIRefPtr<UIScrollVertView>::Adopt(new UIScrollVertView())) {
    // The window keeps the first child over its whole area.
    background_->SetAttribute(L"back", L"img:file=img\\cb_bg.png|type=3");
    background_->AddRef();  // the reference the children list takes over
    AddChild(background_.get());
    list_->AddRef();
    AddChild(list_.get());
    SetDragByBackground(false);
}

UIComboListWidget::~UIComboListWidget() = default;

void UIComboListWidget::SetOwner(UIComboBox* owner) { owner_ = owner ? owner->Handle() : 0; }

UIComboBox* UIComboListWidget::GetOwner() const {
    return dynamic_cast<UIComboBox*>(UIControlRegistry::Instance().Find(owner_));
}

void UIComboListWidget::PlaceList() {
    list_->Move(kListMargin, kListMargin, std::max(Width() - 2 * kListMargin, 0),
                std::max(Height() - 2 * kListMargin, 0));
}

void UIComboListWidget::Hide() {
    HWND hwnd = GetNativeWindow();
    if (hwnd && ::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_HIDE);
}

int UIComboListWidget::OnNotify(UIEvent& event) {
    auto* item = dynamic_cast<UIComboBoxItem*>(event.sender);
    if (event.name != "click" || !item) return 0;
    UIRefPtr<UIComboListWidget> keep(this);
    const int index = item->GetIndex();
    Hide();
    UIRefPtr<UIComboBox> owner(GetOwner());
    if (owner) owner->OnItemPicked(index);
    return 1;
}

bool UIComboListWidget::HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                            LRESULT& result) {
    if (msg == WM_CHAR && wParam == kEscape) {
        Hide();
        result = 0;
        return true;
    }
    if (msg == WM_KILLFOCUS) Hide();
    return UIHostWnd::HandleWindowMessage(msg, wParam, lParam, result);
}
