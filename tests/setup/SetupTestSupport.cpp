#include "setup/SetupTestSupport.h"

#include <map>

#include "app/SetupApp.h"
#include "app/SetupWnd.h"
#include "app/TaskWindow.h"
#include "script_api/ScriptArgs.h"
#include "support/TestProcess.h"
#include "ui/ControlFactory.h"
#include "ui/UIHostWnd.h"

namespace {

std::map<std::string, int>& Layouts() {
    static std::map<std::string, int> layouts;
    return layouts;
}

// Records its messages and layouts; paints nothing.
class SpyControl : public UIControl {
  public:
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        SpyLog().push_back(Narrow(GetId()) + ":" + std::to_string(msg));
        return UIControl::HandleMessage(msg, w, l, result);
    }
    void Layout() override {
        ++Layouts()[Narrow(GetId())];
        UIControl::Layout();
    }
};

const char kMainLayout[] = R"(<?xml version="1.0" encoding="utf-8"?>
<UIWnd pos="0,0,240,160">
  <UIControl id="bg" pos="0,0,240,160" hit="false" back="clr:clr=#ff404040"/>
  <UILabel id="lbl" pos="10,10,100,20" txt="hello"/>
  <UICheckBox id="chk" pos="10,40,100,30" back="clr:clr=#ff808080"/>
  <UIButton id="btn" pos="130,80,80,30" back="clr:clr=#ff3070b0"/>
  <UIProgress id="bar" pos="10,130,200,10"/>
  <SpyControl id="spy" pos="130,10,100,60">
    <SpyControl id="spychild" pos="0,0,50,30"/>
  </SpyControl>
</UIWnd>
)";

const char kMsgBoxLayout[] = R"(<?xml version="1.0" encoding="utf-8"?>
<UIWnd pos="0,0,200,120">
  <UIControl id="bg" pos="0,0,200,120" hit="false" back="clr:clr=#ff202020"/>
  <UILabel id="title" pos="0,0,200,20"/>
  <UILabel id="msg" pos="0,20,200,20"/>
  <UICheckBox id="remember" pos="10,50,80,20" back="clr:clr=#ff808080"/>
  <UIButton id="continebtn" pos="10,80,80,30" back="clr:clr=#ff3070b0"/>
  <UIButton id="cancelbtn" pos="110,80,80,30" back="clr:clr=#ff3070b0"/>
</UIWnd>
)";

BOOL CALLBACK FindTop(HWND hwnd, LPARAM found) {
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    if (std::wstring(name) == L"UIWidget" && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

UIHostWnd* HostOf(HWND hwnd) {
    auto* window =
        hwnd ? static_cast<UIWindowImp*>(::GetPropW(hwnd, UIWindowImp::kPropertyName)) : nullptr;
    return static_cast<UIHostWnd*>(window);
}

// click_top(x, y): a left click at client point x, y of the window on top.
int ClickTop(lua_State* L) {
    HWND hwnd = TopHostWindow();
    if (!hwnd) return 0;
    const LPARAM at = MAKELPARAM(ArgInt(L, 1), ArgInt(L, 2));
    ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
    return 0;
}

// top_text(id): the text of a control of the window on top; top_caption():
// that window's own text.
int TopText(lua_State* L) {
    UIHostWnd* host = HostOf(TopHostWindow());
    UIControl* control = host ? host->FindById(ArgText(L, 1)) : nullptr;
    PushText(L, control ? control->GetText() : L"<none>");
    return 1;
}

int TopCaption(lua_State* L) {
    wchar_t text[256] = {};
    if (HWND hwnd = TopHostWindow()) ::GetWindowTextW(hwnd, text, 256);
    PushText(L, text);
    return 1;
}

// post_close(): the system close command (Alt+F4, the taskbar) to the
// newest setup window.
int PostClose(lua_State*) {
    if (!TheSetupApp().Windows().empty()) {
        ::PostMessageW(TheSetupApp().Windows().back()->GetNativeWindow(), WM_SYSCOMMAND, SC_CLOSE,
                       0);
    }
    return 0;
}

// end_newest(code): ends the newest setup window, whatever its id.
int EndNewest(lua_State* L) {
    if (!TheSetupApp().Windows().empty()) TheSetupApp().Windows().back()->End(ArgText(L, 1));
    return 0;
}

// owned_by_first(): whether the newest window's owner is the oldest one's.
int OwnedByFirst(lua_State* L) {
    const auto& windows = TheSetupApp().Windows();
    const bool owned =
        windows.size() >= 2 && ::GetWindow(windows.back()->GetNativeWindow(), GW_OWNER) ==
                                   windows.front()->GetNativeWindow();
    lua_pushboolean(L, owned);
    return 1;
}

// bar_pixel(x): the painted pixel at x on the progress bar's row of the
// newest setup window (as pushed to the screen).
int BarPixel(lua_State* L) {
    const auto& windows = TheSetupApp().Windows();
    uint32_t pixel = 0;
    if (!windows.empty()) pixel = windows.back()->GetBackBuffer().Pixel(ArgInt(L, 1), 135);
    lua_pushinteger(L, pixel);
    return 1;
}

}  // namespace

std::vector<std::string>& SpyLog() {
    static std::vector<std::string> log;
    return log;
}

int SpyCount(const std::string& id, UINT msg) {
    int n = 0;
    for (const std::string& entry : SpyLog()) n += entry == id + ":" + std::to_string(msg);
    return n;
}

int SpyLayouts(const std::string& id) { return Layouts()[id]; }

HWND TopHostWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindTop, reinterpret_cast<LPARAM>(&found));
    return found;
}

void SetupWindowTest::SetUp() {
    ScriptTest::SetUp();
    skin_ = std::make_unique<TestSkin>(std::vector<std::pair<std::u16string, std::vector<uint8_t>>>{
        {u"xml\\main.xml", Bytes(kMainLayout)}, {u"xml\\msgbox.xml", Bytes(kMsgBoxLayout)}});
    RegisterControlClass(L"SpyControl", [] { return static_cast<UIControl*>(new SpyControl()); });
    if (!TaskWindow()) CreateTaskWindow();
    SpyLog().clear();
    Layouts().clear();
    lua_register(L, "click_top", ClickTop);
    lua_register(L, "top_text", TopText);
    lua_register(L, "top_caption", TopCaption);
    lua_register(L, "post_close", PostClose);
    lua_register(L, "end_newest", EndNewest);
    lua_register(L, "owned_by_first", OwnedByFirst);
    lua_register(L, "bar_pixel", BarPixel);
}

void SetupWindowTest::TearDown() {
    skin_.reset();
    ScriptTest::TearDown();
}
