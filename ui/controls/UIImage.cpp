#include "ui/controls/UIImage.h"

#include "ui/ImageDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"

void UIImage::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name != L"back") {
        UIControl::SetAttribute(name, value);
        return;
    }
    // A plain image name, not a render spec: the base back stays empty.
    imageName_ = value;
    Invalidate(nullptr);
}

void UIImage::Paint(Gdiplus::Graphics& graphics) {
    if (imageName_.empty()) return;
    UIResLoader* loader = GetResLoader();
    SkinBitmap* image = loader ? loader->GetImage(imageName_) : nullptr;
    if (!image || !image->IsDecoded()) return;
    DrawImageByType(graphics, image, kImageStretch, RECT{0, 0, Width(), Height()},
                    RECT{0, 0, 0, 0});
}
