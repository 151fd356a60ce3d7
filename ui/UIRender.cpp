#include "ui/UIRender.h"

#include "ui/AttributeParse.h"
#include "ui/UIGradientColor.h"
#include "ui/UIRenderColor.h"
#include "ui/UIRenderImg.h"
#include "ui/UIRenderText.h"
#include "ui/UIStyleTable.h"

namespace {

// A prefix without a class gives no render object.
UIRender* CreateRenderFor(std::wstring_view prefix) {
    if (prefix == L"img:") return new UIRenderImg();
    if (prefix == L"txt:") return new UIRenderText();
    if (prefix == L"clr:") return new UIRenderColor();
    if (prefix == L"grd:") return new UIGradientColor();
    return nullptr;
}

}  // namespace

UIRender* ParseRenderSpec(const std::wstring& value) {
    if (value.size() < 4) return nullptr;
    UIRender* render = CreateRenderFor(std::wstring_view(value).substr(0, 4));
    if (!render) return nullptr;
    ForEachSpecItem(std::wstring_view(value).substr(4),
                    [render](const std::wstring& key, const std::wstring& v) {
                        if (key == L"css") {
                            for (const auto& kv : UIStyleTable::Instance().Find(v)) {
                                render->SetAttribute(kv.first, kv.second);
                            }
                        } else {
                            render->SetAttribute(key, v);
                        }
                    });
    return render;
}
