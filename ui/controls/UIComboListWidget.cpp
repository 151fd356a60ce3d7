#include "ui/controls/UIComboListWidget.h"

#include <algorithm>

#include "ui/GdiplusHeaders.h"
#include "ui/SkinBitmap.h"
#include "ui/UIControlRegistry.h"
#include "ui/UIRenderImg.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIComboBoxItem.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

constexpr wchar_t kEscape = 27;
constexpr int kListMargin = 2;
constexpr Gdiplus::ARGB kPlainFill = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kPlainBorder = 0xFFB4BCC6;

// The popup's background. Without its skin image the list would be see-through,
// and on a layered window clicks on unpainted pixels fall through to whatever
// lies below, so a plain opaque panel stands in for a missing image.
class ListBackground : public UIControl {
  public:
    void Paint(Gdiplus::Graphics& graphics) override {
        auto* image = dynamic_cast<UIRenderImg*>(GetBack());
        if (image && image->GetImage() && image->GetImage()->IsDecoded()) {
            UIControl::Paint(graphics);
            return;
        }
        Gdiplus::SolidBrush fill{Gdiplus::Color(kPlainFill)};
        graphics.FillRectangle(&fill, 0, 0, Width(), Height());
        Gdiplus::Pen border{Gdiplus::Color(kPlainBorder)};
        graphics.DrawRectangle(&border, 0, 0, Width() - 1, Height() - 1);
    }
};

}  // namespace

UIComboListWidget::UIComboListWidget()
    : background_(UIRefPtr<UIControl>::Adopt(new ListBackground())),
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
