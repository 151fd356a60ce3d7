// Setup windows and message boxes as installer scripts use them: end codes,
// nesting, script timers on windows, events to OnNotify, the message box's
// buttons, and the window and control host functions.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/DebugOutputCapture.h"
#include "app/SetupApp.h"
#include "setup/SetupTestSupport.h"

namespace {

TEST_F(SetupWindowTest, EndWndFromATimerReturnsTheEndCodeAndTimersRunOnTheWindow) {
    DebugOutputCapture capture;
    ASSERT_EQ(Run("ticks = {}\n"
                  "function OnInitWnd(id) init = id; lua_SetTimer(5, 20); lua_SetTimer(1, 20) end\n"
                  "function ontimer(n)\n"
                  "  ticks[#ticks + 1] = n\n"
                  "  if #ticks == 3 then lua_KillTimer(5); lua_EndWnd('mainwnd', 'endsetup') end\n"
                  "end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', 'Title')"),
              "");
    EXPECT_EQ(Text("result"), "endsetup");
    EXPECT_EQ(Text("init"), "mainwnd");
    // Timer 1 is the caret's: it never reaches the script, and its author
    // is told so.
    EXPECT_EQ(Text("table.concat(ticks, ',')"), "5,5,5");
    EXPECT_EQ(capture.CountContaining("script timer 1 never fires while a window is open"), 1);
    EXPECT_EQ(capture.CountContaining("script timer 5 never fires"), 0);
    EXPECT_TRUE(TheSetupApp().Windows().empty());
    EXPECT_EQ(TheSetupApp().GetOwnerWindow(), nullptr);
}

TEST_F(SetupWindowTest, WindowsWithTheSameIdActOnTheOlderOne) {
    ASSERT_EQ(Run("depth = 0\n"
                  "function OnInitWnd(id)\n"
                  "  depth = depth + 1\n"
                  "  if depth == 1 then\n"
                  "    inner = lua_ShowWnd('w', 'xml\\\\main.xml', '')\n"
                  "    outer_checked = lua_IsChecked('w', 'chk')\n"
                  "  else\n"
                  "    owned = owned_by_first()\n"
                  "    lua_SetChecked('w', 'chk', true)\n"
                  "    inner_checked = lua_IsChecked('w', 'chk')\n"
                  "    lua_EndWnd('w', 'outer-code')\n"
                  "    end_newest('inner-code')\n"
                  "  end\n"
                  "end\n"
                  "outer = lua_ShowWnd('w', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_EQ(Text("inner"), "inner-code");
    EXPECT_EQ(Text("outer"), "outer-code");
    EXPECT_TRUE(Bool("owned"));
    EXPECT_TRUE(Bool("inner_checked"));  // read from the older window, as set
    EXPECT_TRUE(Bool("outer_checked"));
}

TEST_F(SetupWindowTest, TheSystemCloseCommandIsIgnored) {
    ASSERT_EQ(Run("function OnInitWnd(id) post_close(); lua_SetTimer(3, 150) end\n"
                  "function ontimer(n) lua_KillTimer(3); lua_EndWnd('mainwnd', 'still-open') end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_EQ(Text("result"), "still-open");
}

TEST_F(SetupWindowTest, MessageBoxEndsWithTheClickedButtonOnly) {
    ASSERT_EQ(Run("ticks = 0\n"
                  "function ontimer(n)\n"
                  "  ticks = ticks + 1\n"
                  "  if ticks == 1 then\n"
                  "    caption = top_caption(); title = top_text('title'); msg = top_text('msg')\n"
                  "    click_top(20, 60)\n"
                  "  elseif ticks == 4 then\n"
                  "    checked = top_text('remember')\n"
                  "    click_top(20, 90)\n"
                  "  end\n"
                  "end\n"
                  "lua_SetTimer(9, 30)\n"
                  "result = lua_MsgBox('xml\\\\msgbox.xml', 'Box title', 'The message')\n"
                  "lua_KillTimer(9)"),
              "");
    EXPECT_EQ(Text("result"), "continebtn");
    EXPECT_GE(Int("ticks"), 4);  // the check box click did not end the box
    EXPECT_EQ(Text("caption"), "Box title");
    EXPECT_EQ(Text("title"), "Box title");
    EXPECT_EQ(Text("msg"), "The message");
}

TEST_F(SetupWindowTest, SetCheckedDoesNotNotifyButAClickDoes) {
    ASSERT_EQ(Run("events = {}; ticks = 0\n"
                  "function OnNotify(w, c, e) events[#events + 1] = w .. ':' .. c .. ':' .. e end\n"
                  "function OnInitWnd(id)\n"
                  "  lua_SetChecked(id, 'chk', true)\n"
                  "  after_set = lua_IsChecked(id, 'chk')\n"
                  "  label_checked = lua_IsChecked(id, 'lbl')\n"
                  "  events_after_set = #events\n"
                  "  lua_SetTimer(4, 30)\n"
                  "end\n"
                  "function ontimer(n)\n"
                  "  ticks = ticks + 1\n"
                  "  if ticks == 1 then click_top(20, 55)\n"
                  "  elseif ticks == 3 then\n"
                  "    lua_KillTimer(4)\n"
                  "    after_click = lua_IsChecked('mainwnd', 'chk')\n"
                  "    lua_EndWnd('mainwnd', 'done')\n"
                  "  end\n"
                  "end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_EQ(Text("result"), "done");
    EXPECT_TRUE(Bool("after_set"));
    EXPECT_FALSE(Bool("label_checked"));
    EXPECT_EQ(Int("events_after_set"), 0);
    EXPECT_FALSE(Bool("after_click"));
    EXPECT_NE(Text("table.concat(events, ' ')").find("mainwnd:chk:checkchanged"), std::string::npos)
        << Text("table.concat(events, ' ')");
}

TEST_F(SetupWindowTest, ControlFunctionsSendOnlyWhatChanges) {
    ASSERT_EQ(Run("function OnInitWnd(id)\n"
                  "  lua_SetText(id, 'spy', 'new text')\n"
                  "  lua_SetText(id, 'spy', 'new text')\n"
                  "  lua_ShowCtrl(id, 'spychild', true)\n"
                  "  lua_LayoutCtrl(id, 'spychild')\n"
                  "  lua_EnableCtrl(id, 'btn', false)\n"
                  "  lua_SetText('nowindow', 'spy', 'x')\n"
                  "  lua_ShowCtrl(id, 'missing', false)\n"
                  "  lua_EndWnd(id, 'done')\n"
                  "end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_EQ(Text("result"), "done");
    EXPECT_EQ(SpyCount("spy", WM_SETTEXT), 1);
    // Already visible: no show message, but the parent lays out again.
    EXPECT_EQ(SpyCount("spychild", WM_SHOWWINDOW), 0);
    EXPECT_GE(SpyLayouts("spy"), 2);
    EXPECT_GE(SpyLayouts("spychild"), 2);
}

TEST_F(SetupWindowTest, ShowCtrlHidesAndShowsWithTheShowMessage) {
    ASSERT_EQ(Run("function OnInitWnd(id)\n"
                  "  lua_ShowCtrl(id, 'spychild', false)\n"
                  "  lua_ShowCtrl(id, 'spychild', true)\n"
                  "  lua_EndWnd(id, 'done')\n"
                  "end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_EQ(SpyCount("spychild", WM_SHOWWINDOW), 2);
}

// The progress bar changes on screen while the script waits: the value is
// painted at once, not at the next idle moment.
TEST_F(SetupWindowTest, SetCtrlAttrPaintsAtOnce) {
    ASSERT_EQ(Run("function OnInitWnd(id)\n"
                  "  before = bar_pixel(150)\n"
                  "  lua_SetCtrlAttr(id, 'bar', 'value', '90')\n"
                  "  after = bar_pixel(150)\n"
                  "  lua_EndWnd(id, 'done')\n"
                  "end\n"
                  "result = lua_ShowWnd('mainwnd', 'xml\\\\main.xml', '')"),
              "");
    EXPECT_NE(Int("before"), Int("after"));
}

}  // namespace
