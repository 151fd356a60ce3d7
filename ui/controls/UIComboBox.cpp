#include "ui/controls/UIComboBox.h"

#include <algorithm>
#include <cstdint>

#include "base/DecimalText.h"
#include "ui/AttributeParse.h"
#include "ui/ImageDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/StateIndex.h"
#include "ui/UIResLoader.h"
#include "ui/controls/LocalPoint.h"
#include "ui/controls/UIComboBoxItem.h"
#include "ui/controls/UIComboListWidget.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

// The space the popup's frame takes around the list view: 2 on each side,
// plus the rounding the list height allows for.
constexpr int kListFrame = 6;

}  // namespace

UIComboBox::UIComboBox() = default;

UIComboBox::~UIComboBox() { DestroyPopup(); }

// ---- Attributes ------------------------------------------------------------

void UIComboBox::AddItems(const std::wstring& data) {
    if (data.empty()) return;  // no text at all is no item, not one empty item
    for (std::wstring_view part : SplitText(data, L'|')) items_.emplace_back(part);
    if (items_.empty() || selection_ == 0) return;
    selection_ = 0;
    const std::wstring first = items_.front();
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(first.c_str()));
}

void UIComboBox::LoadArrow(const std::wstring& imageName) {
    arrow_.LoadStrip(imageName, false, kImageStretch);
    arrowFrame_ = SIZE{0, 0};
    if (!arrow_.Get(0)) return;
    UIResLoader* loader = GetResLoader();
    SkinBitmap* image = loader ? loader->GetImage(imageName) : nullptr;
    if (!image) return;
    arrowFrame_ = SIZE{static_cast<LONG>(image->GetWidth() / UIStateImages::kCount),
                       static_cast<LONG>(image->GetHeight())};
}

void UIComboBox::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"listwidth") {
        listWidth_ = ParseInt(value);
        return;
    }
    if (name == L"back") {
        // The strip replaces the base control's back, which stays empty.
        back_.LoadStrip(value, false, kImageThreeSliceH);
        Invalidate(nullptr);
        return;
    }
    if (name == L"thumb") {
        LoadArrow(value);
        Invalidate(nullptr);
        return;
    }
    if (name == L"clickdrop") {
        clickDrop_ = value == L"true" || value == L"1";
    } else if (name == L"data") {
        AddItems(value);
    }
    UILabel::SetAttribute(name, value);
}

// ---- Painting ----------------------------------------------------------------

void UIComboBox::GetTextRect(RECT& rc) {
    rc = RECT{textInsets_.left, 0, std::max<LONG>(Width() - textInsets_.right, 0), Height()};
    rc.right = std::max(rc.right, rc.left);
}

RECT UIComboBox::ArrowZone() const {
    return RECT{Width() - textInsets_.right, 0, Width(), Height()};
}

void UIComboBox::PaintBox(Gdiplus::Graphics& graphics) {
    if (UIRender* back = back_.GetOrNormal(GetStateIndex(this))) back->Draw(this, graphics);
    const int arrowState = !IsEnableBit()  ? kStateIndexDisabled
                           : arrowPressed_ ? kStateIndexPressed
                           : arrowHover_   ? kStateIndexHover
                                           : kStateIndexNormal;
    UIRender* arrow = arrow_.GetOrNormal(arrowState);
    if (!arrow || arrowFrame_.cx <= 0 || arrowFrame_.cy <= 0) return;
    const int top = Height() / 2 - arrowFrame_.cy / 2;
    arrow->SetDstRect(RECT{Width() - arrowFrame_.cx, top, Width(), top + arrowFrame_.cy});
    arrow->Draw(this, graphics);
}

void UIComboBox::Paint(Gdiplus::Graphics& graphics) {
    PaintBox(graphics);
    DrawLabelText(graphics);
}

// ---- Mouse -------------------------------------------------------------------

void UIComboBox::OnMouseMove(POINT pt) {
    const RECT zone = ArrowZone();
    const bool over = ::PtInRect(&zone, pt) != FALSE;
    if (over == arrowHover_) return;
    arrowHover_ = over;
    Invalidate(nullptr);
}

void UIComboBox::OnLButtonDown(POINT pt) {
    const RECT zone = ArrowZone();
    arrowPressed_ = ::PtInRect(&zone, pt) != FALSE;
    if (IUIContainer* host = GetHost()) host->CaptureControl(Handle());
    Invalidate(nullptr);
}

void UIComboBox::OnLButtonUp() {
    // Only a press that began on the box (and so holds the capture) opens
    // the list: a release after a press elsewhere is not a click.
    IUIContainer* host = GetHost();
    const bool pressedHere = host && host->GetCapturedControl() == Handle();
    if (pressedHere) host->ReleaseControlCapture();
    if (arrowPressed_) {
        arrowPressed_ = false;
        Invalidate(nullptr);
        if (pressedHere) DropDown();
    } else if (clickDrop_ && pressedHere) {
        DropDown();
    }
}

void UIComboBox::ProcessMessage(UIMessage& record) {
    switch (record.msg) {
        case WM_MOUSEMOVE:
            OnMouseMove(LocalPoint(*this, record.lParam));
            break;
        case WM_LBUTTONDOWN:
            OnLButtonDown(LocalPoint(*this, record.lParam));
            break;
        case WM_LBUTTONUP:
            OnLButtonUp();
            break;
        case WM_MOUSELEAVE:
            // Otherwise the arrow would keep its hover look after the
            // pointer has left the box over the arrow.
            if (arrowHover_) {
                arrowHover_ = false;
                Invalidate(nullptr);
            }
            break;
        case WM_DESTROY:
            DestroyPopup();
            break;
        default:
            break;
    }
    UILabel::ProcessMessage(record);
}

// ---- The list ------------------------------------------------------------------

int UIComboBox::GetListHeight() {
    const int64_t rows = std::min<int64_t>(visibleItems_, static_cast<int64_t>(items_.size()));
    const int64_t h = rows * itemHeight_;
    return ClampToInt((h + kListFrame < itemHeight_ ? itemHeight_ : h) + kListFrame);
}

int UIComboBox::GetListWidth() { return std::max(listWidth_, Width()); }

UIComboBoxItem* UIComboBox::CreateItem(int index) {
    auto* item = new UIComboBoxItem(index, this);
    item->SetPos(0, 0, 20, itemHeight_);
    if (index >= 0 && index < static_cast<int>(items_.size())) {
        const std::wstring text = items_[static_cast<size_t>(index)];
        item->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return item;
}

void UIComboBox::CreateItems(std::vector<UIComboBoxItem*>& out) {
    out.clear();
    out.reserve(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) out.push_back(CreateItem(static_cast<int>(i)));
}

UIComboListWidget* UIComboBox::CreatePopup() {
    auto* popup = new UIComboListWidget();
    popup->GetListView()->SetAttribute(L"hscrollwidth", DecimalText(barWidth_));
    return popup;
}

bool UIComboBox::EnsurePopup() {
    // A window destroyed with its owner took the popup's content with it.
    if (popup_ && popup_->IsWindowDestroyed()) DestroyPopup();
    if (!popup_) {
        popup_ = UIRefPtr<UIComboListWidget>::Adopt(CreatePopup());
        if (!popup_) return false;
    }
    popup_->SetOwner(this);
    return true;
}

void UIComboBox::DestroyPopup() {
    if (!popup_) return;
    popup_->SetOwner(nullptr);
    popup_.reset();  // the last reference ends its window
}

RECT UIComboBox::PopupScreenRect() {
    RECT box;
    GetScreenRect(box);
    const int w = GetListWidth(), h = GetListHeight();
    RECT work = {0, 0, 0, 0};
    const bool haveWork = ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) != FALSE;
    int64_t top = box.bottom;
    if (haveWork && top + h > work.bottom) top = static_cast<int64_t>(box.top) - h;
    return MakeRect(box.left, ClampToInt(top), w, h);
}

namespace {

// Scrolls the list so that the row at `index` is in view, near the middle
// when it has to move.
void ScrollRowIntoView(UIScrollVertView& list, int index) {
    const auto& rows = list.GetContent()->Children();
    if (index < 0 || index >= static_cast<int>(rows.size())) return;
    int64_t top = 0;
    for (int i = 0; i < index; ++i) top += rows[static_cast<size_t>(i)]->Height();
    UIScrollBar* bar = list.GetScrollBar();
    const int64_t page = bar->GetPage();
    const int64_t offset = top - bar->GetScrollPos();
    if (offset < 1 || offset >= page) bar->SetScrollPos(ClampToInt(top - page / 2));
}

}  // namespace

void UIComboBox::DropDown() {
    IUIContainer* host = GetHost();
    HWND ownerWindow = host ? host->GetHwnd() : nullptr;
    if (!ownerWindow || !EnsurePopup()) return;
    UIRefPtr<UIComboBox> keep(this);
    UIRefPtr<UIComboListWidget> popup(popup_);
    const RECT rc = PopupScreenRect();
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HWND hwnd = popup->GetNativeWindow();
    if (!hwnd) {
        hwnd = popup->CreateHostWindow(UIHostWnd::kPopupStyle, rc.left, rc.top, w, h, ownerWindow);
        if (!hwnd) return;
    } else {
        ::SetWindowPos(hwnd, nullptr, rc.left, rc.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    popup->PlaceList();
    UIScrollVertView* list = popup->GetListView();
    UIControl* content = list->GetContent();
    content->RemoveAllChildren();
    std::vector<UIComboBoxItem*> rows;
    CreateItems(rows);
    for (UIComboBoxItem* row : rows) content->AddChild(row);  // takes over the reference
    content->Layout();
    list->Layout();
    ScrollRowIntoView(*list, selection_);
    ::ShowWindow(hwnd, SW_SHOW);
    popup->Invalidate(nullptr);
    ::SetFocus(hwnd);
}

void UIComboBox::OnItemPicked(int index) {
    if (index == selection_ || index < 0 || index >= static_cast<int>(items_.size())) return;
    selection_ = index;
    const std::wstring text = items_[static_cast<size_t>(index)];
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Notify("comboselectchanged", 0, 0);
}
