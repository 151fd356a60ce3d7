-- A two-page window and a message box driven with the real mouse and
-- keyboard; every step the script sees goes to the log file named by the
-- environment variable SKINSETUP_WIZARD_LOG.
local LOG

local function log(text)
    local f = io.open(LOG, "a")
    if f then
        f:write(text, "\n")
        f:close()
    end
end

function OnRunSetup()
    LOG = lua_Environment("%SKINSETUP_WIZARD_LOG%")
    local code = lua_ShowWnd("mainwnd", "xml\\main.xml", "wizard")
    log("end " .. code)
    local answer = lua_MsgBox("xml\\msgbox.xml", "Finished", "The wizard ended.")
    log("msgbox " .. answer)
end

function OnInitWnd(wnd)
    lua_EnableCtrl(wnd, "nextbtn", false)
    log("init " .. wnd)
end

function OnNotify(wnd, ctrl, event)
    log("notify " .. ctrl .. " " .. event)
    if ctrl == "cklicence" and event == "checkchanged" then
        lua_EnableCtrl(wnd, "nextbtn", lua_IsChecked(wnd, "cklicence"))
    elseif ctrl == "nextbtn" and event == "click" then
        lua_ShowCtrl(wnd, "page1", false)
        lua_ShowCtrl(wnd, "page2", true)
    elseif ctrl == "finishbtn" and event == "click" then
        lua_EndWnd(wnd, "finished")
    end
end
