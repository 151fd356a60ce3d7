#include "app/SetupWnd.h"

#include "app/ScriptRunner.h"
#include "app/SetupApp.h"
#include "ui/ControlTimer.h"

namespace {

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

HWND CreateSetupNativeWindow(UIHostWnd& window, const std::wstring& layoutName, HWND owner) {
    window.SetLayoutFile(layoutName);
    HWND hwnd = window.CreateHostWindow(UIHostWnd::kPopupStyle, 0, 0, 100, 100, owner);
    if (hwnd) window.Layout();
    return hwnd;
}

SetupWnd::SetupWnd() : UIHostWnd(L"xml\\main.xml") {}

SetupWnd::~SetupWnd() = default;

std::wstring SetupWnd::Run(const std::wstring& layoutName, HWND owner) {
    HWND hwnd = CreateSetupNativeWindow(*this, layoutName, owner);
    CenterWindow();
    if (hwnd) ::ShowWindow(hwnd, SW_SHOW);
    Layout();
    TheScriptRunner().CallOnInitWnd(windowId_);
    RunModal(owner);
    return endCode_;
}

void SetupWnd::End(const std::wstring& endCode) {
    endCode_ = endCode;
    EndModal(0);
}

UINT_PTR SetupWnd::ScriptTimerCode(int id) const { return ControlTimerId(id, Handle()); }

int SetupWnd::OnNotify(UIEvent& event) {
    const std::wstring senderId = event.sender ? event.sender->GetId() : event.senderId;
    TheScriptRunner().CallOnNotify(windowId_, senderId, FromAnsi(event.name));
    return UIHostWnd::OnNotify(event);
}

int SetupWnd::OnTimer(int number) {
    if (TheSetupApp().IsScriptTimer(number)) TheScriptRunner().CallOnTimer(number);
    return 0;
}

bool SetupWnd::HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Alt+F4 and the taskbar's close command: an installer is ended by its
    // own buttons only.
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        result = 0;
        return true;
    }
    return UIHostWnd::HandleWindowMessage(msg, wParam, lParam, result);
}
