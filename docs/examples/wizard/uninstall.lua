-- Example App's uninstaller: Uninstall.exe in the install folder runs this
-- script. A confirm, progress and done wizard, or a silent uninstall with
-- /silent. Saved as UTF-8 without a byte-order mark.
--
-- It removes exactly what setup.lua installed and wrote, so the names below
-- must stay in step with it: the files and folders listed in install.lst
-- (tools/make-installer writes that list; files the user added stay), the
-- desktop shortcut, the application key and the uninstall entry.
local APP = "Example App"
local KEY_NAME = "ExampleApp"
local KEY = "SOFTWARE\\" .. KEY_NAME
local UNINSTALL_PARENT = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
local UNINSTALL = UNINSTALL_PARENT .. "\\" .. KEY_NAME
local EXE = "ExampleApp.exe"
-- The log outlives the install folder, so it goes to the temporary folder.
local LOG = lua_TempDir() .. "ExampleApp-uninstall.log"

local installdir = ""
local lines = {}
local refused = false

local function log(text)
  lines[#lines + 1] = text
  lua_Print(text)
end

local function saveLog()
  lua_WriteTextFile(LOG, table.concat(lines, "\r\n") .. "\r\n")
end

local function removeAll()
  -- The program holds its files open while it runs.
  lua_KillProcessByName(EXE)
  lua_DeleteDesktopShortcut(APP)
  log("removed the desktop shortcut " .. APP)
  local removed, kept, names = lua_RemoveInstalled(installdir, "install.lst")
  if removed < 0 then
    -- A drive, a system folder or a folder without the list: nothing in it
    -- is touched, and the entry stays so that the user sees the product.
    refused = true
    log("nothing removed from " .. installdir .. ": no install list there or a protected folder")
  else
    for _, name in ipairs(names) do log("removed: " .. name) end
    log(string.format("removed %d files and folders", removed))
    lua_DelRegKey("HKCU", "SOFTWARE", KEY_NAME)
    lua_DelRegKey("HKLM", UNINSTALL_PARENT, KEY_NAME)
    log("removed the keys HKCU\\" .. KEY .. " and HKLM\\" .. UNINSTALL)
  end
  for _, name in ipairs(kept) do log("kept: " .. name) end
  saveLog()
end

-- The wizard ------------------------------------------------------------

-- The removal runs from a timer so that the progress page is painted first.
-- Timer 1 of a window is its caret blink and never reaches ontimer.
local REMOVE_TIMER = 2

local function showPage(n)
  for i = 1, 3 do lua_ShowCtrl("uninstwnd", "page" .. i, i == n) end
  lua_LayoutCtrl("uninstwnd", "")
  lua_EnableCtrl("uninstwnd", "closebtn", n ~= 2)
end

function OnInitWnd(wnd)
  if installdir == "" then
    lua_SetText(wnd, "done", APP .. " is not installed: nothing to remove.")
    showPage(3)
  else
    lua_SetText(wnd, "path", installdir)
    showPage(1)
  end
end

function ontimer(id)
  if id ~= REMOVE_TIMER then return end
  lua_KillTimer(REMOVE_TIMER)
  removeAll()
  lua_SetCtrlAttr("uninstwnd", "prog", "value", "100")
  if refused then lua_SetText("uninstwnd", "done", APP .. " was not removed: see " .. LOG) end
  showPage(3)
end

function OnNotify(wnd, ctrl, event)
  if event ~= "click" then return end
  if ctrl == "uninstbtn" then
    showPage(2)
    lua_SetTimer(REMOVE_TIMER, 200)
  elseif ctrl == "cancelbtn" or ctrl == "closebtn" then
    lua_EndWnd(wnd, "cancel")
  elseif ctrl == "donebtn" then
    lua_EndWnd(wnd, "done")
  end
end

function OnRunSetup()
  installdir = lua_QueryRegStr("HKLM", UNINSTALL, "InstallLocation")
  if installdir == "" then installdir = lua_QueryRegStr("HKCU", KEY, "InstallLocation") end
  log(APP .. " uninstall " .. os.date("%Y-%m-%d %H:%M:%S"))
  log(installdir == "" and "nothing to uninstall: no install is recorded" or "install folder: " .. installdir)
  if lua_hasParam("/silent") then
    if installdir == "" then saveLog() return end
    removeAll()
    if refused then lua_SetExitCode(3) end
    return
  end
  lua_ShowWnd("uninstwnd", "xml\\uninstall.xml", APP .. " Uninstall")
end
