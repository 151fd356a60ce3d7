#include "ui/controls/UIGif.h"

#include <cwctype>

#include "base/DecimalText.h"
#include "ui/AttributeParse.h"
#include "ui/ControlTimer.h"
#include "ui/ImageDraw.h"
#include "ui/SkinBitmap.h"
#include "ui/UIResLoader.h"

namespace {

// The conversion at pattern[at] (just after a "%"): the flag, width and
// type are checked; the text the number becomes is appended to out.
bool FormatConversion(const std::wstring& pattern, size_t& at, long long number,
                      std::wstring& out) {
    bool zeroPad = false;
    if (at < pattern.size() && pattern[at] == L'0') {
        zeroPad = true;
        ++at;
    }
    size_t width = 0;
    if (at < pattern.size() && std::iswdigit(pattern[at])) {
        width = static_cast<size_t>(pattern[at] - L'0');
        ++at;
    }
    if (at >= pattern.size()) return false;
    const wchar_t type = pattern[at];
    if (type != L'd' && type != L'i' && type != L'u') return false;
    ++at;
    const bool negative = number < 0;
    std::wstring digits = DecimalText(negative ? -number : number);
    const size_t used = digits.size() + (negative ? 1 : 0);
    const std::wstring pad =
        used < width ? std::wstring(width - used, zeroPad ? L'0' : L' ') : std::wstring();
    if (zeroPad) {
        out += (negative ? L"-" : L"") + pad + digits;
    } else {
        out += pad + (negative ? L"-" : L"") + digits;
    }
    return true;
}

}  // namespace

bool FormatFrameName(const std::wstring& pattern, long long number, std::wstring& out) {
    out.clear();
    int conversions = 0;
    for (size_t at = 0; at < pattern.size();) {
        const wchar_t c = pattern[at++];
        if (c != L'%') {
            out += c;
            continue;
        }
        if (at < pattern.size() && pattern[at] == L'%') {
            out += L'%';
            ++at;
            continue;
        }
        if (++conversions > 1 || !FormatConversion(pattern, at, number, out)) return false;
    }
    return conversions == 1;
}

// ---- Attributes --------------------------------------------------------------

void UIGif::AddFrames(const std::wstring& value) {
    const std::vector<std::wstring_view> parts = SplitText(value, L'|');
    if (parts.size() != 3) return;
    const long long first = ParseInt(parts[0]);
    const long long last = ParseInt(parts[1]);
    const std::wstring pattern(parts[2]);
    if (last < first) return;
    // A range past the bound is refused whole, as is a pattern that does not
    // give a name for every frame: no partial sequence is kept.
    if (static_cast<unsigned long long>(last - first) + 1 > kMaxFrames - frames_.size()) return;
    std::vector<std::wstring> added;
    added.reserve(static_cast<size_t>(last - first + 1));
    std::wstring name;
    for (long long i = first; i <= last; ++i) {
        if (!FormatFrameName(pattern, i, name) || name.size() > kMaxNameLength) return;
        added.push_back(name);
    }
    frames_.insert(frames_.end(), added.begin(), added.end());
}

void UIGif::Start() {
    SetControlTimer(this, kTimerNumber, kTimerPeriod);
    if (autoShowHide_ && !IsVisibleBit()) SetVisible(true, 0);
}

void UIGif::Stop() {
    KillControlTimer(this, kTimerNumber);
    if (autoShowHide_ && IsVisibleBit()) {
        Invalidate(nullptr);  // while still visible: a hidden control invalidates nothing
        SetVisible(false, 0);
    }
    Invalidate(nullptr);
}

void UIGif::SetAttribute(const std::wstring& name, const std::wstring& value) {
    // None of these is kept as an attribute of the control.
    if (name == L"gif") {
        AddFrames(value);
    } else if (name == L"startgif") {
        Start();
    } else if (name == L"fresh") {
        Advance();
    } else if (name == L"stopgif") {
        Stop();
    } else if (name == L"autoshowhide") {
        autoShowHide_ = value == L"true";
    } else {
        UIControl::SetAttribute(name, value);
    }
}

// ---- Animation -----------------------------------------------------------------

void UIGif::Advance() {
    if (!IsVisibleBit()) return;
    const DWORD now = Now();
    // Unsigned difference: right across the tick count's wrap.
    if (now - lastAdvance_ <= static_cast<DWORD>(interval_)) return;
    ++current_;
    if (current_ >= static_cast<int>(frames_.size())) current_ = 0;
    lastAdvance_ = now;
    Invalidate(nullptr);
}

bool UIGif::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_TIMER && wParam == kTimerNumber) {
        Advance();
        result = 0;
        return true;
    }
    if (msg == WM_DESTROY) KillControlTimer(this, kTimerNumber);
    return UIControl::HandleMessage(msg, wParam, lParam, result);
}

void UIGif::Paint(Gdiplus::Graphics& graphics) {
    if (current_ < 0 || current_ >= static_cast<int>(frames_.size())) return;
    lastAdvance_ = Now();
    UIResLoader* loader = GetResLoader();
    SkinBitmap* image = loader ? loader->GetImage(frames_[static_cast<size_t>(current_)]) : nullptr;
    if (!image || !image->IsDecoded()) return;
    const int w = static_cast<int>(image->GetWidth());
    const int h = static_cast<int>(image->GetHeight());
    const RECT dst = MakeRect((Width() - w) / 2, (Height() - h) / 2, w, h);
    DrawImageByType(graphics, image, kImageStretch, dst, RECT{0, 0, 0, 0});
}
