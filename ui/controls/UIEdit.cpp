#include "ui/controls/UIEdit.h"

#include <algorithm>
#include <cstring>

#include "ui/ControlTimer.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIFont.h"
#include "ui/controls/UITextHost.h"

namespace {

const IID kIidTextServices = {
    0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
constexpr LONG kTwipsPerPixel = 15;  // at 96 dots per inch
constexpr UINT kWantArrows = 0x01, kWantTabKey = 0x02, kWantChars = 0x80;

using CreateTextServicesFn = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

// The library comes from the system folder only, never from beside the
// installer, and stays loaded for the life of the process.
CreateTextServicesFn LoadCreateTextServices() {
    static const CreateTextServicesFn create = [] {
        HMODULE module = ::LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return module ? reinterpret_cast<CreateTextServicesFn>(
                            ::GetProcAddress(module, "CreateTextServices"))
                      : nullptr;
    }();
    return create;
}

bool IsForwarded(UINT msg) {
    return msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_SHOWWINDOW ||
           (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
           (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_KEYLAST) ||
           (msg >= WM_IME_SETCONTEXT && msg <= WM_IME_KEYUP) || msg == WM_SETTEXT ||
           msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH || (msg >= WM_CUT && msg <= WM_UNDO) ||
           (msg >= EM_GETSEL && msg < WM_USER + 0x100);
}

// A premultiplied pixel from the same drawing on black and on white: the
// difference tells how much of the background shows through.
uint32_t PixelFromPair(uint32_t onBlack, uint32_t onWhite) {
    int through = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        through += static_cast<int>((onWhite >> shift) & 0xFF) -
                   static_cast<int>((onBlack >> shift) & 0xFF);
    }
    const int alpha = std::max(0, std::min(255, 255 - through / 3));
    uint32_t out = static_cast<uint32_t>(alpha) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = std::min(alpha, static_cast<int>((onBlack >> shift) & 0xFF));
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

}  // namespace

UIEdit::UIEdit() {
    SetStyleB(kStyleFocusable, true);
    charFormat_.cbSize = sizeof(charFormat_);
    paraFormat_.cbSize = sizeof(paraFormat_);
    paraFormat_.dwMask = PFM_ALIGNMENT;
    paraFormat_.wAlignment = PFA_LEFT;
    ApplyFont();
}

UIEdit::~UIEdit() {
    if (textHost_) textHost_->Detach();
    services_.reset();
    if (textHost_) textHost_->Release();
}

void UIEdit::SetOptions(DWORD options) {
    options_ = options;
    if (services_) {
        services_->OnTxPropertyBitsChange(TXTBIT_MULTILINE | TXTBIT_WORDWRAP, PropertyBits());
    }
}

DWORD UIEdit::PropertyBits() const {
    DWORD bits = 0;
    if (GetAttribute(L"readonly") == L"1") bits |= TXTBIT_READONLY;
    if (options_ & kWantReturn) bits |= TXTBIT_MULTILINE | TXTBIT_WORDWRAP;
    return bits;
}

void UIEdit::ApplyFont() {
    const UIFontSpec spec = ParseFontSpec(GetAttribute(L"font"));
    const std::wstring& face = spec.family.empty() ? SystemFontFace() : spec.family;
    charFormat_.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC |
                         CFM_UNDERLINE | CFM_STRIKEOUT;
    charFormat_.yHeight = (spec.size > 0 ? spec.size : 13) * kTwipsPerPixel;
    charFormat_.bCharSet = DEFAULT_CHARSET;
    charFormat_.crTextColor = RGB(0, 0, 0);
    charFormat_.dwEffects =
        ((spec.style & 1) ? CFE_BOLD : 0) | ((spec.style & 2) ? CFE_ITALIC : 0) |
        ((spec.style & 4) ? CFE_UNDERLINE : 0) | ((spec.style & 8) ? CFE_STRIKEOUT : 0);
    const size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::memset(charFormat_.szFaceName, 0, sizeof(charFormat_.szFaceName));
    face.copy(charFormat_.szFaceName, n);
    if (services_)
        services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

ITextServices* UIEdit::Services() {
    if (services_ || triedServices_) return services_.get();
    triedServices_ = true;
    const CreateTextServicesFn create = LoadCreateTextServices();
    if (!create) return nullptr;
    textHost_ = new UITextHost(this);
    ComPtr<IUnknown> unknown;
    if (FAILED(create(nullptr, textHost_, unknown.put())) || !unknown) return nullptr;
    services_ = unknown.As<ITextServices>(kIidTextServices);
    if (!services_) return nullptr;
    LRESULT ignored = 0;
    services_->TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);  // no automatic font switching
    services_->OnTxPropertyBitsChange(
        TXTBIT_CHARFORMATCHANGE | TXTBIT_PARAFORMATCHANGE | TXTBIT_MULTILINE | TXTBIT_WORDWRAP,
        TXTBIT_CHARFORMATCHANGE | TXTBIT_PARAFORMATCHANGE | PropertyBits());
    services_->TxSetText(GetText().c_str());
    PushLimits();
    RECT rc;
    GetHostRect(rc);
    services_->OnTxInPlaceActivate(&rc);
    return services_.get();
}

// Some services read the limit and the read-only bit only when told them
// by message, not through the property-bit change.
void UIEdit::PushLimits() {
    LRESULT ignored = 0;
    services_->TxSendMessage(EM_EXLIMITTEXT, 0, maxLength_, &ignored);
    services_->TxSendMessage(EM_SETREADONLY, (PropertyBits() & TXTBIT_READONLY) ? 1 : 0, 0,
                             &ignored);
}

std::wstring UIEdit::ServicesText() {
    if (!services_) return GetText();
    BSTR text = nullptr;
    std::wstring out;
    if (SUCCEEDED(services_->TxGetText(&text)) && text) out.assign(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return out;
}

int UIEdit::TimerNumberFor(UINT id, bool create) {
    auto it = std::find(timerIds_.begin(), timerIds_.end(), id);
    if (it != timerIds_.end()) return static_cast<int>(it - timerIds_.begin()) + 2;
    // Number 1 stays free, as the caret timer of other controls.
    if (!create || timerIds_.size() + 2 > static_cast<size_t>(kMaxControlTimerNumber)) return 0;
    timerIds_.push_back(id);
    return static_cast<int>(timerIds_.size()) + 1;
}

bool UIEdit::FilterChar(WPARAM ch) const {
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (ch == L'\t') return (options_ & kWantTab) || ctrl;
    if (ch == L'\r' || ch == L'\n') return (options_ & kWantReturn) || ctrl;
    if (!(options_ & kNumber) || ch < 0x20) return true;
    return (ch >= L'0' && ch <= L'9') || ch == L',' || ch == L'-' || ch == L'.';
}

void UIEdit::SetAttribute(const std::wstring& name, const std::wstring& value) {
    UIControl::SetAttribute(name, value);
    if (name == L"font") ApplyFont();
}

UINT UIEdit::GetDialogCode() {
    return kWantArrows | kWantChars | ((options_ & kWantTab) ? kWantTabKey : 0u);
}

bool UIEdit::OnServicesMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    ITextServices* services = Services();
    if (!services) return false;
    services->TxSendMessage(msg, wParam, lParam, &result);
    return true;
}

bool UIEdit::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_CHAR:
            if (!FilterChar(wParam)) return true;  // refused
            return OnServicesMessage(msg, wParam, lParam, result);
        case EM_SETLIMITTEXT:
        case EM_EXLIMITTEXT: {
            const WPARAM value = msg == EM_SETLIMITTEXT ? wParam : static_cast<WPARAM>(lParam);
            maxLength_ = value == 0 ? kDefaultMaxLength
                                    : static_cast<LONG>(std::min<WPARAM>(value, 0x7FFFFFFE));
            if (services_) {
                services_->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
                PushLimits();
            }
            return true;
        }
        case EM_SETCHARFORMAT: {
            const auto* format = reinterpret_cast<const CHARFORMAT2W*>(lParam);
            if (!format || format->cbSize != sizeof(CHARFORMAT2W)) return true;
            charFormat_ = *format;
            if (services_)
                services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
            result = TRUE;
            return true;
        }
        case EM_SETPARAFORMAT: {
            const auto* format = reinterpret_cast<const PARAFORMAT2*>(lParam);
            if (!format || format->cbSize != sizeof(PARAFORMAT2)) return true;
            return OnServicesMessage(msg, wParam, lParam, result);
        }
        case EM_SETREADONLY:
            SetAttribute(L"readonly", wParam ? L"1" : L"0");
            if (services_) {
                services_->OnTxPropertyBitsChange(TXTBIT_READONLY, PropertyBits());
                PushLimits();
            }
            result = TRUE;
            return true;
        case WM_MOUSEWHEEL:
            return true;
        case WM_TIMER: {
            const size_t index = wParam >= 2 ? static_cast<size_t>(wParam) - 2 : timerIds_.size();
            if (index >= timerIds_.size()) return true;
            return OnServicesMessage(msg, timerIds_[index], 0, result);
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (IUIContainer* host = GetHost()) host->FocusControl(Handle(), 0);
            return OnServicesMessage(msg, wParam, lParam, result);
        case WM_SIZE:
            UIControl::HandleMessage(msg, wParam, lParam, result);
            if (services_)
                services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
            return true;
        case WM_SETTEXT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_SHOWWINDOW: {
            UIControl::HandleMessage(msg, wParam, lParam, result);
            if (msg == WM_SETTEXT && services_) {
                services_->TxSetText(GetText().c_str());
                return true;
            }
            LRESULT ignored = 0;
            if (msg != WM_SETTEXT) OnServicesMessage(msg, wParam, lParam, ignored);
            return true;
        }
        default:
            break;
    }
    if (IsForwarded(msg) && OnServicesMessage(msg, wParam, lParam, result)) return true;
    return UIControl::HandleMessage(msg, wParam, lParam, result);
}

void UIEdit::DrawServices(HDC dc, const RECT& bounds) {
    const RECTL r = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    services_->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &r, nullptr, nullptr,
                      nullptr, 0, TXTVIEW_ACTIVE);
}

void UIEdit::Paint(Gdiplus::Graphics& graphics) {
    UIControl::Paint(graphics);
    if (GetAttribute(L"font") != std::wstring(charFormat_.szFaceName) && !triedServices_)
        ApplyFont();
    if (!Services()) return;
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    // GDI drawing leaves the alpha of a layered window's pixels at zero, so
    // the services draw twice, on black and on white, and the pair gives
    // each pixel's colour and coverage.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits[2] = {nullptr, nullptr};
    UniqueGdiObject black(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits[0], nullptr, 0));
    UniqueGdiObject white(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits[1], nullptr, 0));
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!black || !white || !dc || !bits[0] || !bits[1]) return;
    RECT bounds;
    GetHostRect(bounds);
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    const HGDIOBJ old = ::SelectObject(dc.get(), black.get());
    for (int pass = 0; pass < 2; ++pass) {
        ::SelectObject(dc.get(), pass == 0 ? black.get() : white.get());
        std::memset(bits[pass], pass == 0 ? 0x00 : 0xFF, count * 4);
        // The services draw at the control's window position; the origin
        // moves that to the bitmap's corner.
        ::SetViewportOrgEx(dc.get(), -bounds.left, -bounds.top, nullptr);
        DrawServices(dc.get(), bounds);
        ::GdiFlush();
    }
    ::SelectObject(dc.get(), old);
    std::vector<uint32_t> pixels(count);
    const auto* onBlack = static_cast<const uint32_t*>(bits[0]);
    const auto* onWhite = static_cast<const uint32_t*>(bits[1]);
    for (size_t i = 0; i < count; ++i) pixels[i] = PixelFromPair(onBlack[i], onWhite[i]);
    Gdiplus::Bitmap image(w, h, w * 4, PixelFormat32bppPARGB,
                          reinterpret_cast<BYTE*>(pixels.data()));
    graphics.DrawImage(&image, 0, 0, w, h);
}
