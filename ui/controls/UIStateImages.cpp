#include "ui/controls/UIStateImages.h"

#include "base/DecimalText.h"
#include "ui/SkinBitmap.h"
#include "ui/UIRenderImg.h"
#include "ui/UIResLoader.h"

namespace {

// "x,y,w,h" as a render spec body value.
std::wstring RectText(int x, int y, int w, int h) {
    return DecimalText(x) + L"," + DecimalText(y) + L"," + DecimalText(w) + L"," + DecimalText(h);
}

// An image render of one frame of the strip.
UIRender* MakeFrame(const std::wstring& imageName, int x, int y, int w, int h, int drawType) {
    UIRenderImg* render = new UIRenderImg();
    render->SetAttribute(L"file", imageName);
    render->SetAttribute(L"src", RectText(x, y, w, h));
    render->SetAttribute(L"type", DecimalText(drawType));
    return render;
}

}  // namespace

void UIStateImages::Clear() {
    for (auto& r : renders_) r.reset();
}

void UIStateImages::LoadStrip(const std::wstring& imageName, bool vertical, int drawType) {
    Clear();
    UIResLoader* loader = GetResLoader();
    SkinBitmap* image = loader ? loader->GetImage(imageName) : nullptr;
    if (!image || !image->IsDecoded()) return;
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    const int frameW = vertical ? width : width / kCount;
    const int frameH = vertical ? height / kCount : height;
    // A frame of no pixels would read as "the whole image" to the image
    // render, so such a strip gives no looks at all.
    if (frameW <= 0 || frameH <= 0) return;
    for (int i = 0; i < kCount; ++i) {
        const int x = vertical ? 0 : i * frameW;
        const int y = vertical ? i * frameH : 0;
        renders_[i] =
            UIRefPtr<UIRender>::Adopt(MakeFrame(imageName, x, y, frameW, frameH, drawType));
    }
}

void UIStateImages::SetSpec(int index, const std::wstring& spec) {
    if (index < 0 || index >= kCount) return;
    renders_[index] = UIRefPtr<UIRender>::Adopt(ParseRenderSpec(spec));
}

UIRender* UIStateImages::Get(int index) const {
    if (index < 0 || index >= kCount) return nullptr;
    return renders_[index].get();
}

UIRender* UIStateImages::GetOrNormal(int index) const {
    UIRender* render = Get(index);
    return render ? render : renders_[0].get();
}
