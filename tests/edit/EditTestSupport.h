#pragma once
// Edit fields in a real host window: keys and characters sent to the
// window as the keyboard would, modifier keys held in this thread's
// keyboard state, the events the fields raise, and painting a field alone
// into an offscreen bitmap.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/HostTestSupport.h"
#include "render/RenderTestSupport.h"

// Holds modifier keys down in this thread's keyboard state for its lifetime.
class KeysHeld {
  public:
    KeysHeld(std::initializer_list<int> keys) : keys_(keys) { Set(true); }
    ~KeysHeld() { Set(false); }
    KeysHeld(const KeysHeld&) = delete;
    KeysHeld& operator=(const KeysHeld&) = delete;

  private:
    void Set(bool down) {
        BYTE state[256];
        ::GetKeyboardState(state);
        for (int k : keys_) state[k] = down ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    std::vector<int> keys_;
};

// Events as "name:wParam" joined by spaces.
struct EditEvents {
    std::string text;
    static void Record(void* self, UIEvent& e) {
        auto* log = static_cast<EditEvents*>(self);
        if (!log->text.empty()) log->text += ' ';
        log->text += e.name + ":" + std::to_string(e.wParam);
    }
    void Listen(UIControl* c) { c->AddListener(this, &EditEvents::Record); }
};

inline void Key(const TestHost& host, UINT vk) { host.Send(WM_KEYDOWN, vk, 1); }
inline void Chars(const TestHost& host, const std::wstring& text) {
    for (wchar_t ch : text) host.Send(WM_CHAR, ch, 1);
}

inline std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = p;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

inline void SetClipboardText(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (mem) {
        auto* p = static_cast<wchar_t*>(::GlobalLock(mem));
        text.copy(p, text.size());
        p[text.size()] = 0;
        ::GlobalUnlock(mem);
        if (!::SetClipboardData(CF_UNICODETEXT, mem)) ::GlobalFree(mem);
    }
    ::CloseClipboard();
}

// Paints the control alone (its own coordinates at the canvas origin).
inline void PaintControl(UIControl* c, Canvas& canvas) { c->Paint(canvas.G()); }

// Pixels whose colour (alpha dropped) is rgb.
inline int CountRgb(Canvas& canvas, uint32_t rgb) { return FindInk(canvas, rgb).count; }
