#include "ui/UIRenderImg.h"

#include "ui/AttributeParse.h"
#include "ui/ImageDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/UIControl.h"
#include "ui/UIResLoader.h"

namespace {

// "x,y,w,h" into rc; other values leave rc as it was.
void ReadRect(const std::wstring& value, RECT& rc) {
    UIPosValue p;
    if (ParseRect(value, p)) rc = MakeRect(p.x, p.y, p.w, p.h);
}

}  // namespace

void UIRenderImg::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"file") {
        UIResLoader* loader = GetResLoader();
        image_ = loader ? loader->GetImage(value) : nullptr;
    } else if (name == L"type") {
        type_ = ParseInt(value);
    } else if (name == L"dst") {
        ReadRect(value, dst_);
    } else if (name == L"src") {
        ReadRect(value, src_);
    }
}

void UIRenderImg::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
    if (!image_ || !image_->IsDecoded() || !control) return;
    RECT dst = dst_;
    if (::IsRectEmpty(&dst)) dst = RECT{0, 0, control->Width(), control->Height()};
    DrawImageByType(graphics, image_, type_, dst, src_);
}
