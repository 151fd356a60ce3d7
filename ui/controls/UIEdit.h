#pragma once
// An edit field on the platform's windowless rich-text services: the
// services keep the text and do the editing; this control filters the
// characters its options refuse, forwards input to them and has them draw
// into its rectangle. The services come from riched20.dll in the system
// folder, loaded at run time on first use.
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

#include <string>
#include <vector>

#include "app/Handles.h"
#include "ui/UIControl.h"

class UITextHost;

class UIEdit : public UIControl {
  public:
    // Option bits.
    enum : DWORD { kWantTab = 0x0001, kWantReturn = 0x1000, kNumber = 0x2000 };
    static constexpr LONG kDefaultMaxLength = 0x7fff;

    UIEdit();
    ~UIEdit() override;

    const char* GetClassName() override { return "UIEdit"; }
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(Gdiplus::Graphics& graphics) override;
    UINT GetDialogCode() override;
    int OnSetCursor() override { return 1; }  // the services set it

    DWORD Options() const { return options_; }
    // No attribute sets the options; code that makes the control may.
    void SetOptions(DWORD options);
    // The services, created on first use; null where the platform has none.
    ITextServices* Services();
    // The text the services hold (the control text until they exist).
    std::wstring ServicesText();

    // What the text host answers.
    const CHARFORMAT2W& CharFormat() const { return charFormat_; }
    const PARAFORMAT2& ParaFormat() const { return paraFormat_; }
    LONG MaxLength() const { return maxLength_; }
    DWORD PropertyBits() const;
    // Control timer numbers carry the services' timer ids.
    int TimerNumberFor(UINT id, bool create);

  private:
    bool FilterChar(WPARAM ch) const;
    bool OnServicesMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ApplyFont();
    void PushLimits();
    void DrawServices(HDC dc, const RECT& bounds);

    UITextHost* textHost_ = nullptr;
    ComPtr<ITextServices> services_;
    bool triedServices_ = false;
    CHARFORMAT2W charFormat_ = {};
    PARAFORMAT2 paraFormat_ = {};
    LONG maxLength_ = kDefaultMaxLength;
    DWORD options_ = 0;
    std::vector<UINT> timerIds_;  // index + 2 is the control timer number
};
