#include "app/SetupMsgBox.h"

#include <cstring>

#include "app/SetupApp.h"
#include "app/SetupWnd.h"
#include "script_api/ScriptArgs.h"

SetupMsgBox::SetupMsgBox() : UIHostWnd(std::wstring()) {}

SetupMsgBox::~SetupMsgBox() = default;

std::wstring SetupMsgBox::Run(const std::wstring& layoutName, const std::wstring& title,
                              const std::wstring& message, HWND owner) {
    HWND hwnd = CreateSetupNativeWindow(*this, layoutName, owner);
    if (hwnd) ::SetWindowTextW(hwnd, title.c_str());
    CenterWindow();
    if (hwnd) {
        ::ShowWindow(hwnd, SW_SHOW);
        ::InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (UIControl* control = FindById(L"title")) control->SetAttribute(L"txt", title);
    if (UIControl* control = FindById(L"msg")) control->SetAttribute(L"txt", message);
    Layout();
    RunModal(owner);
    return endCode_;
}

int SetupMsgBox::OnNotify(UIEvent& event) {
    // Only plain buttons: check boxes and links derive from the button but
    // name their own class.
    if (event.sender && std::strcmp(event.sender->GetClassName(), "UIButton") == 0 &&
        event.name == "click") {
        endCode_ = event.sender->GetId();
        EndModal(0);
    }
    return UIHostWnd::OnNotify(event);
}

int lua_MsgBox(lua_State* L) {
    const std::wstring layout = ArgText(L, 1);
    const std::wstring title = ArgText(L, 2);
    const std::wstring message = ArgText(L, 3);
    const HWND owner = TheSetupApp().GetOwnerWindow();
    // Reference counted like every control: the last Release destroys it.
    UIRefPtr<SetupMsgBox> box = UIRefPtr<SetupMsgBox>::Adopt(new SetupMsgBox());
    const std::wstring result = box->Run(layout, title, message, owner);
    box.reset();
    PushText(L, result);
    return 1;
}
