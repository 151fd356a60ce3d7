-- Quorin格式转换: the uninstaller script (Uninstall.exe in the install folder).
--
-- Saved as UTF-8 without a byte-order mark, like the installer script.
--
-- It removes exactly what the installer wrote: the files and folders named
-- in the list the install left in its folder (files the user added stay, and
-- so do their folders), the shortcuts, the autostart value, the application
-- key and the uninstall entry. The names below must match setup.lua.

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
  local until_ = os.clock() + 0.5
  while os.clock() < until_ do end
end

local function removeShortcuts()
  lua_DeleteDesktopShortcut(g_appNikeName)
  lua_DeleteTaskBarShortcut(g_appNikeName)
  lua_DeleteStartMenuShortcurt(g_softName, g_appNikeName)
end

local function removeFiles()
  local removed, kept = lua_RemoveInstalled(g_installdir, INSTALL_LIST)
  if removed < 0 then
    -- A folder that is a drive, a system folder or holds no list of this
    -- install: nothing in it is touched, and the entry stays to say so.
    g_refused = true
    lua_Print("nothing removed from " .. g_installdir .. ": no install list there or a protected folder")
  else
    lua_Print(string.format("removed %d files and folders", removed))
  end
  for _, text in ipairs(kept) do
    lua_Print("kept: " .. text)
    g_kept[#g_kept + 1] = text
  end
end

local function removeRegistry()
  lua_DelReg("HKCU", RUN_KEY, g_RegKeyName)
  if g_refused then return end
  lua_DelRegKey("HKCU", "SOFTWARE", g_RegKeyName)
  lua_DelRegKey("HKLM", UNINSTALL_PARENT, g_RegKeyName)
end

local steps = {endApplication, removeShortcuts, removeFiles, removeRegistry}

local function removeAll()
  for _, step in ipairs(steps) do step() end
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
  lua_Print("install folder: " .. g_installdir)
  if g_silent then
    if g_installdir == "" then
      lua_Print("nothing to uninstall: no install is recorded")
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
