// Host functions for setup windows and their controls, addressed by window
// id and control id, and the script timers.
#include "script_api/HostFunctions.h"

#include <iterator>

#include "app/SetupWnd.h"
#include "script_api/FolderDialog.h"
#include "script_api/LuaApp.h"
#include "script_api/ScriptArgs.h"
#include "ui/controls/UICheckBox.h"

namespace {

// The window's root control when the control id is empty, else the first
// control with that id in document order; null when either is missing.
UIControl* FindControl(const std::wstring& wndId, const std::wstring& ctrlId) {
    SetupWnd* wnd = HostInstance()->FindWnd(wndId);
    if (!wnd) return nullptr;
    UIControl* root = wnd;
    while (root->GetParent()) root = root->GetParent();
    return ctrlId.empty() ? root : root->FindById(ctrlId);
}

UIControl* ArgControl(lua_State* L) { return FindControl(ArgText(L, 1), ArgText(L, 2)); }

int lua_ShowWnd(lua_State* L) {
    PushText(L, HostInstance()->ShowWnd(ArgText(L, 1), ArgText(L, 2), ArgText(L, 3)));
    return 1;
}

int lua_SelectDir(lua_State* L) {
    const std::wstring title = lua_gettop(L) >= 2 ? ArgText(L, 2) : std::wstring(L"选择目录");
    PushText(L, BrowseForFolder(ArgText(L, 1), title, HostInstance()->GetOwnerWindow()));
    return 1;
}

int lua_EndWnd(lua_State* L) {
    HostInstance()->EndWnd(ArgText(L, 1), ArgText(L, 2));
    return 0;
}

int lua_ShowCtrl(lua_State* L) {
    UIControl* control = ArgControl(L);
    if (!control) return 0;
    const bool show = ArgBool(L, 3);
    if (show != control->IsVisibleBit()) {
        // The area a hidden control covered is repainted.
        if (!show) control->Invalidate(nullptr);
        control->SetStyleA(UIControl::kStyleVisible, show);
        control->SendMessage(WM_SHOWWINDOW, show ? 1 : 0, 0);
    }
    if (UIControl* parent = control->GetParent()) parent->Layout();
    control->Invalidate(nullptr);
    return 0;
}

int lua_LayoutCtrl(lua_State* L) {
    if (UIControl* control = ArgControl(L)) control->Layout();
    return 0;
}

int lua_SetText(lua_State* L) {
    UIControl* control = ArgControl(L);
    if (!control) return 0;
    const std::wstring text = ArgText(L, 3);
    if (text == control->GetText()) return 0;
    control->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

int lua_EnableCtrl(lua_State* L) {
    UIControl* control = ArgControl(L);
    if (!control) return 0;
    const bool enable = ArgBool(L, 3);
    if (enable == control->IsEnableBit()) return 0;
    // Only the bit: hit-testing and the drawn state follow it directly.
    control->SetStyleA(UIControl::kStyleEnable, enable);
    control->Invalidate(nullptr);
    return 0;
}

int lua_IsChecked(lua_State* L) {
    auto* box = dynamic_cast<UICheckBox*>(ArgControl(L));
    lua_pushboolean(L, box && box->IsChecked());
    return 1;
}

int lua_SetChecked(lua_State* L) {
    UIControl* control = ArgControl(L);
    if (!control) return 0;
    const bool checked = ArgBool(L, 3);
    auto* box = dynamic_cast<UICheckBox*>(control);
    if (box && box->IsChecked() != checked) {
        // No "checkchanged" event: the script's OnNotify is not called.
        box->SetCheckedValue(checked);
        box->OnCheckChanged();
        control->Invalidate(nullptr);
    }
    control->Invalidate(nullptr);
    return 0;
}

int lua_SetCtrlAttr(lua_State* L) {
    UIControl* control = ArgControl(L);
    if (!control) return 0;
    control->SetAttribute(ArgText(L, 3), ArgText(L, 4));
    control->Invalidate(nullptr);
    // Painted at once, even while the script keeps the thread busy (the
    // progress bar during an extraction).
    if (IUIContainer* host = control->GetHost()) {
        if (HWND hwnd = host->GetHwnd()) ::UpdateWindow(hwnd);
    }
    return 0;
}

int lua_SetTimer(lua_State* L) {
    HostInstance()->SetScriptTimer(ArgInt(L, 1), ArgInt(L, 2));
    return 0;
}

int lua_KillTimer(lua_State* L) {
    HostInstance()->KillScriptTimer(ArgInt(L, 1));
    return 0;
}

const HostFunction kFunctions[] = {
    {"lua_ShowWnd", lua_ShowWnd},       {"lua_SelectDir", lua_SelectDir},
    {"lua_EndWnd", lua_EndWnd},         {"lua_ShowCtrl", lua_ShowCtrl},
    {"lua_LayoutCtrl", lua_LayoutCtrl}, {"lua_SetText", lua_SetText},
    {"lua_EnableCtrl", lua_EnableCtrl}, {"lua_IsChecked", lua_IsChecked},
    {"lua_SetChecked", lua_SetChecked}, {"lua_SetCtrlAttr", lua_SetCtrlAttr},
    {"lua_SetTimer", lua_SetTimer},     {"lua_KillTimer", lua_KillTimer},
};

}  // namespace

HostFunctionList WindowHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
