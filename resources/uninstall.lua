-- Quorin格式转换: the uninstaller script (Uninstall.exe in the install folder).
--
-- Saved as UTF-8 without a byte-order mark, like the installer script.
--
-- It removes exactly what the installer wrote: the files and folders named
-- in the list the install left in its folder (files the user added stay, and
-- so do their folders), the shortcuts, the autostart value, the application
-- key and the uninstall entry. The names below must match setup.lua.
--
-- Each run writes a UTF-8 log to the user's temporary folder (LOG_NAME):
-- what was removed, and each thing that stayed with the reason.

---------------------------------------------------------------------------
-- Configuration
---------------------------------------------------------------------------
local g_RegKeyName = "QuorinFormat"
local g_appName = "QuorinFormat.exe"
local g_appNikeName = "Quorin格式转换"
local g_softName = "Quorin格式转换"
local g_title = "Quorin格式转换 卸载"
-- The list of installed files and folders the installer carries in its
-- payload's root.
local INSTALL_LIST = "install.lst"
-- The log outlives the install folder, so it goes to the temporary folder.
local LOG_NAME = g_RegKeyName .. "-uninstall.log"

local APP_KEY = "SOFTWARE\\" .. g_RegKeyName
local UNINSTALL_PARENT = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
local UNINSTALL_KEY = UNINSTALL_PARENT .. "\\" .. g_RegKeyName
local RUN_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"

-- Exit codes of a silent uninstall.
local EXIT_NOTHING_INSTALLED = 0
local EXIT_FOLDER_REFUSED = 3

local g_silent = false
local g_installdir = ""
local g_kept = {}
local g_refused = false
local g_log = {}

---------------------------------------------------------------------------
-- The log
---------------------------------------------------------------------------
local function log(text)
  g_log[#g_log + 1] = text
  lua_Print(text)
end

local function saveLog()
  local path = lua_TempDir() .. LOG_NAME
  if not lua_WriteTextFile(path, table.concat(g_log, "\r\n") .. "\r\n") then
    lua_Print("the log could not be written to " .. path)
  end
end

---------------------------------------------------------------------------
-- The removal, in steps so that the wizard's bar moves between them
---------------------------------------------------------------------------
local function setExitCode(code)
  if lua_SetExitCode then lua_SetExitCode(code) end
end

local function recordedFolder()
  local dir = lua_QueryRegStr("HKLM", UNINSTALL_KEY, "InstallLocation")
  if dir == "" then dir = lua_QueryRegStr("HKCU", APP_KEY, "InstallLocation") end
  return dir
end

-- The program holds its files open while it runs; it gets a moment to end.
local function endApplication()
  lua_KillProcessByName(g_appName)
  log("ended " .. g_appName .. " wherever it was running")
  local until_ = os.clock() + 0.5
  while os.clock() < until_ do end
end

local function removeShortcuts()
  lua_DeleteDesktopShortcut(g_appNikeName)
  lua_DeleteTaskBarShortcut(g_appNikeName)
  lua_DeleteStartMenuShortcurt(g_softName, g_appNikeName)
  log("removed the desktop, taskbar and start menu shortcuts " .. g_appNikeName)
end

local function removeFiles()
  local removed, kept, names = lua_RemoveInstalled(g_installdir, INSTALL_LIST)
  if removed < 0 then
    -- A folder that is a drive, a system folder or holds no list of this
    -- install: nothing in it is touched, and the entry stays to say so.
    g_refused = true
    log("nothing removed from " .. g_installdir .. ": no install list there or a protected folder")
  else
    for _, text in ipairs(names) do log("removed: " .. text) end
    if removed > #names then log(string.format("removed %d more", removed - #names)) end
    log(string.format("removed %d files and folders", removed))
  end
  for _, text in ipairs(kept) do
    log("kept: " .. text)
    g_kept[#g_kept + 1] = text
  end
end

-- Deletes with `remove` and names in the log what `present` still finds.
local function removeValue(name, present, remove)
  remove()
  if present() then
    log("kept: " .. name .. " (could not be removed)")
  else
    log("removed: " .. name)
  end
end

local function hasValue(root, key, name)
  return function() return lua_QueryRegStr(root, key, name) ~= "" end
end

local function removeRegistry()
  removeValue("HKCU\\" .. RUN_KEY .. " " .. g_RegKeyName, hasValue("HKCU", RUN_KEY, g_RegKeyName),
    function() lua_DelReg("HKCU", RUN_KEY, g_RegKeyName) end)
  if g_refused then
    log("kept: HKCU\\" .. APP_KEY .. " and HKLM\\" .. UNINSTALL_KEY .. " (the install folder was refused)")
    return
  end
  removeValue("HKCU\\" .. APP_KEY, hasValue("HKCU", APP_KEY, "InstallLocation"),
    function() lua_DelRegKey("HKCU", "SOFTWARE", g_RegKeyName) end)
  removeValue("HKLM\\" .. UNINSTALL_KEY, hasValue("HKLM", UNINSTALL_KEY, "InstallLocation"),
    function() lua_DelRegKey("HKLM", UNINSTALL_PARENT, g_RegKeyName) end)
end

local steps = {endApplication, removeShortcuts, removeFiles, removeRegistry}

local function removeAll()
  for _, step in ipairs(steps) do step() end
  saveLog()
end

---------------------------------------------------------------------------
-- The wizard: confirm, progress, done
---------------------------------------------------------------------------
local g_next = 1
-- The wizard's steps run from a timer so that the bar is painted between
-- them. Timer 1 of a window is its caret blink and never reaches ontimer.
local STEP_TIMER = 2

local function showPage(n)
  lua_ShowCtrl("uninstwnd", "page1", n == 1)
  lua_ShowCtrl("uninstwnd", "page2", n == 2)
  lua_ShowCtrl("uninstwnd", "page3", n == 3)
  lua_LayoutCtrl("uninstwnd", "")
  lua_EnableCtrl("uninstwnd", "closebtn", n ~= 2)
end

local function finish()
  saveLog()
  if g_refused then
    lua_SetText("uninstwnd", "lbDone", "未能卸载：安装目录无效，未删除任何文件")
  elseif #g_kept > 0 then
    lua_SetText("uninstwnd", "lbDone", "已卸载，您自己添加的文件保留在" .. g_installdir)
  end
  showPage(3)
end

function ontimer(id)
  if id ~= STEP_TIMER then return end
  local step = steps[g_next]
  if not step then
    lua_KillTimer(STEP_TIMER)
    finish()
    return
  end
  step()
  g_next = g_next + 1
  lua_SetCtrlAttr("uninstwnd", "prog", "value", string.format("%d", math.floor((g_next - 1) * 100 / #steps)))
end

function OnInitWnd(wndid)
  if wndid ~= "uninstwnd" then return end
  if g_installdir == "" then
    saveLog()
    lua_SetText("uninstwnd", "lbDone", "未找到已安装的Quorin格式转换，无需卸载")
    showPage(3)
  else
    showPage(1)
  end
end

local function startRemoval()
  showPage(2)
  g_next = 1
  lua_SetTimer(STEP_TIMER, 300)
end

local clicks = {
  uninstbtn = startRemoval,
  cancelbtn = function() lua_EndWnd("uninstwnd", "cancel") end,
  closebtn = function() lua_EndWnd("uninstwnd", "cancel") end,
  donebtn = function() lua_EndWnd("uninstwnd", "done") end,
}

function OnNotify(wndid, ctrlid, eventid)
  if wndid ~= "uninstwnd" or eventid ~= "click" then return end
  local action = clicks[ctrlid]
  if action then action() end
end

---------------------------------------------------------------------------
-- Start-up
---------------------------------------------------------------------------
function OnRunSetup()
  g_silent = lua_hasParam("/silent")
  g_installdir = recordedFolder()
  log(g_title .. " " .. os.date("%Y-%m-%d %H:%M:%S"))
  if g_installdir == "" then
    log("nothing to uninstall: no install is recorded")
  else
    log("install folder: " .. g_installdir)
  end
  if g_silent then
    if g_installdir == "" then
      saveLog()
      setExitCode(EXIT_NOTHING_INSTALLED)
      return
    end
    removeAll()
    if g_refused then setExitCode(EXIT_FOLDER_REFUSED) end
    return
  end
  local code = lua_ShowWnd("uninstwnd", "xml\\uninstall.xml", g_title)
  lua_Print("end: " .. code)
end
