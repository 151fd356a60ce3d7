#include "ui/controls/UILabel.h"

#include <algorithm>

#include "ui/AttributeParse.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIStyleTable.h"

UILabel::UILabel() : textRender_(UIRefPtr<UIRenderText>::Adopt(new UIRenderText())) {}

void UILabel::SetTextAttributes(const std::wstring& items) {
    UIRenderText* render = textRender_.get();
    ForEachSpecItem(items, [render](const std::wstring& key, const std::wstring& value) {
        if (key == L"css") {
            for (const auto& kv : UIStyleTable::Instance().Find(value)) {
                render->SetAttribute(kv.first, kv.second);
            }
        } else {
            render->SetAttribute(key, value);
        }
    });
}

void UILabel::SetAttribute(const std::wstring& name, const std::wstring& value) {
    // Text looks ("clr", "font", "horz"...) are written on the label itself.
    textRender_->SetAttribute(name, value);
    if (name == L"txtattr") {
        SetTextAttributes(value);
        return;  // configures the text only; not an attribute of the label
    }
    if (name == L"xstart") {
        xstart_ = ParseInt(value);
    } else if (name == L"alias") {
        alias_ = ParseBool(value);
    } else if (name == L"xend") {
        xend_ = ParseInt(value);
    }
    UIControl::SetAttribute(name, value);
}

void UILabel::GetTextRect(RECT& rc) {
    rc = RECT{0, 0, Width(), Height()};
    rc.left = ClampToInt(static_cast<long long>(rc.left) + xstart_);
    rc.right = ClampToInt(static_cast<long long>(rc.right) - xend_);
    const RECT& inset = textRender_->Options().inset;
    rc.left = ClampToInt(static_cast<long long>(rc.left) + inset.left);
    rc.top = ClampToInt(static_cast<long long>(rc.top) + inset.top);
    rc.right = ClampToInt(static_cast<long long>(rc.right) - inset.right);
    rc.bottom = ClampToInt(static_cast<long long>(rc.bottom) - inset.bottom);
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
}

void UILabel::DrawLabelText(Gdiplus::Graphics& graphics) {
    if (GetText().empty()) return;
    RECT rc;
    GetTextRect(rc);
    if (!alias_) {
        textRender_->DrawInRect(this, graphics, rc);
        return;
    }
    const Gdiplus::GraphicsState saved = graphics.Save();
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    textRender_->DrawInRect(this, graphics, rc);
    graphics.Restore(saved);
}

void UILabel::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    DrawLabelText(graphics);
}
