#pragma once
// A label that captures the key combination typed into it while it has the
// focus and shows its name in the user's keyboard language, as
// "Ctrl+Shift+F5". The caret is drawn by the control after the text.
#include <cstdint>
#include <string>

#include "ui/UICaret.h"
#include "ui/UIRefObj.h"
#include "ui/controls/UILabel.h"

class UIHotKey : public UILabel {
  public:
    // Hot key code: the virtual-key code in the low 16 bits and these.
    static constexpr uint32_t kShiftBit = 1u << 16;
    static constexpr uint32_t kCtrlBit = 1u << 17;
    static constexpr uint32_t kAltBit = 1u << 18;
    static constexpr int kCaretTimer = 1;
    static constexpr uint32_t kCaretColor = 0xFE000000;

    UIHotKey();

    const char* GetClassName() override { return "UIHotKey"; }
    void Paint(Gdiplus::Graphics& graphics) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Tab, Enter and Escape are keys to capture, not navigation.
    UINT GetDialogCode() override { return 0x02 | 0x04; }

    uint32_t GetHotKey() const { return code_; }
    // Stores a code and shows its name; the same code again does nothing.
    void SetHotKey(uint32_t code);
    bool IsCaretPhaseOn() const { return caretPhase_; }
    // The caret in the control's own coordinates; empty without the focus.
    RECT CaretRect(Gdiplus::Graphics& graphics);

    // The combination's text: modifier names (Ctrl, Shift, Alt) and the
    // key's name joined by "+"; empty for code 0.
    static std::wstring HotKeyText(uint32_t code);
    // The keyboard layout's name of a virtual key (at most 260 characters).
    static std::wstring KeyName(UINT vk);

  private:
    void OnKeyDown(UINT vk);
    void OnSetFocus();
    void OnKillFocus();
    bool HasFocus();

    uint32_t code_ = 0;
    int caretHeight_ = 0;
    UIRefPtr<UICaret> caret_;
    bool caretPhase_ = false;
};
