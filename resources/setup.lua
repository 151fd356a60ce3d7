-- Quorin格式转换: the installer script.
--
-- This file must be saved as UTF-8 without a byte-order mark: the texts
-- below reach the windows, the registry and the shortcuts as they are
-- written here, and a byte-order mark would stop the script from loading.
--
-- Everything a product team changes lives in the configuration block: names,
-- folder, registry key, version, report server and licence page. The skin
-- (resources/skin) gives the windows their look.

---------------------------------------------------------------------------
-- Configuration
---------------------------------------------------------------------------
local g_installdir = ""
local g_step = 1
local g_IntAppID = 108
local g_IntPort = 8700
local g_unionid = 1001
local g_desktopLink = true
local g_taskbarLink = false
local g_autoRun = false
local g_startMenuLink = false
local g_silent = false
local g_runapp = false
local g_update = false
local g_Publisher = "Quorin软件有限公司"
local g_lnkLicence = "https://www.example.com/license/tool/license.html"
local g_title = "Quorin格式转换 安装包"
local g_setupFolder = "QuorinFormat"
local g_AppID = "QuorinFormat"
local g_RegKeyName = "QuorinFormat"
local g_appName = "QuorinFormat.exe"
local g_appNikeName = "Quorin格式转换"
local g_softName = "Quorin格式转换"
local g_appVersion = "1.0.0.2"
local g_EstimatedSize = 3000
local g_disableFileNameUnion = true
local g_udpsvr = "report.example.com"
local g_InstallDate = 0

-- The channel whose installers may run without a window ("/silent").
local SILENT_CHANNEL = 1003

local APP_KEY = "SOFTWARE\\" .. g_RegKeyName
local UNINSTALL_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" .. g_RegKeyName
local RUN_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"

-- Exit codes of a silent install (a wizard always exits with 0): deployment
-- tools tell a failed install from a good one by them.
local EXIT_FOLDER_FAILED = 1
local EXIT_EXTRACT_FAILED = 2

---------------------------------------------------------------------------
-- Start-up
---------------------------------------------------------------------------
local startSetup

local function appPath()
  return g_installdir .. "\\" .. g_appName
end

local function setExitCode(code)
  -- Older hosts have no way to choose the exit code; they exit with 0.
  if lua_SetExitCode then lua_SetExitCode(code) end
end

-- A silent install may be told its folder: /dir=PATH (quote the whole
-- argument when the path has spaces: "/dir=C:\Program Files\Tools").
-- Only a full path is taken: a relative one would depend on the folder the
-- deployment tool happened to start the installer in.
local function silentFolderArgument()
  if not lua_GetParamValue then return "" end
  local dir = lua_GetParamValue("/dir=")
  if dir:match("^%a:\\") or dir:match("^\\\\[^\\]") then return dir end
  if dir ~= "" then lua_Print("/dir= ignored, not a full path: " .. dir) end
  return ""
end

local function InitDefData()
  if g_unionid == SILENT_CHANNEL then
    g_silent = lua_hasParam("/silent")
    if g_silent then g_runapp = true end
  end
  g_update = lua_IsUpdateMode()
  g_installdir = lua_ProgramDir() .. "\\" .. g_setupFolder

  local previous = lua_QueryRegStr("HKLM", UNINSTALL_KEY, "InstallLocation")
  if previous == "" then previous = lua_QueryRegStr("HKCU", APP_KEY, "InstallLocation") end
  if previous ~= "" then
    g_installdir = previous
    lua_Print("previous install location: " .. previous)
  end
  if g_silent then
    local chosen = silentFolderArgument()
    if chosen ~= "" then g_installdir = chosen end
  end

  local channel = lua_QueryRegDword("HKCU", APP_KEY, "unionid")
  if channel == 0 then channel = lua_QueryRegDword("HKLM", APP_KEY, "unionid") end
  if channel == 0 and not g_disableFileNameUnion then channel = lua_GetUinonByFileName() end
  if channel ~= 0 then g_unionid = channel end

  local date = lua_QueryRegStr("HKLM", UNINSTALL_KEY, "InstallDate")
  if date ~= "" then g_InstallDate = tonumber(date) or 0 end
  if g_InstallDate == 0 then g_InstallDate = lua_getCurDate() end
end

function OnRunSetup()
  lua_Print("OnRunSetup")
  InitDefData()
  lua_GetOsVer()
  lua_Print("install folder: " .. g_installdir)
  local ret = ""
  if not g_silent then
    ret = lua_ShowWnd("mainwnd", "xml\\main.xml", g_title)
  else
    startSetup()
  end
  lua_Print("*********** End Setup ***************\r\n")
  lua_Print(ret)
end

---------------------------------------------------------------------------
-- The wizard
---------------------------------------------------------------------------
local function UpdateCheckBox(fromBoxes)
  if fromBoxes then
    g_desktopLink = lua_IsChecked("mainwnd", "ckdesktop")
    g_taskbarLink = lua_IsChecked("mainwnd", "cktaskbar")
    g_autoRun = lua_IsChecked("mainwnd", "ckautorun")
  else
    lua_SetChecked("mainwnd", "ckdesktop", g_desktopLink)
    lua_SetChecked("mainwnd", "cktaskbar", g_taskbarLink)
  end
end

local function setupStep(n)
  lua_ShowCtrl("mainwnd", "page1", n == 1)
  lua_ShowCtrl("mainwnd", "page2", n == 2)
  lua_ShowCtrl("mainwnd", "page3", n == 3)
  lua_LayoutCtrl("mainwnd", "")
  -- The window cannot be closed while files are being written.
  lua_EnableCtrl("mainwnd", "closebtn", n ~= 2)
  g_step = n
end

startSetup = function()
  if not lua_CheckCreateDir(g_installdir) then
    if g_silent then setExitCode(EXIT_FOLDER_FAILED) end
    return
  end
  lua_KillProcessByName(g_appName)
  lua_KillProcessByName("QuorinFormat.exe")
  lua_Print("startSetup")
  if not g_silent then setupStep(2) end
  lua_StartDecompress(g_installdir)
end

function OnInitWnd(wndid)
  lua_Print("**** OnInitWnd ****\r\n")
  lua_Print(wndid)
  if wndid ~= "mainwnd" then return end
  if g_update then
    lua_SetText("mainwnd", "lbSetupInfo", "正在更新...")
    setupStep(2)
    startSetup()
  else
    lua_SetText("mainwnd", "path", g_installdir)
    UpdateCheckBox(false)
    setupStep(1)
  end
end

local function doSelectDir()
  local dir = lua_SelectDir(g_installdir, "选择安装目录")
  if dir == "" then return end
  if lua_getPathFileName(dir) ~= g_setupFolder then
    dir = lua_PathAppend(dir, g_setupFolder)
  end
  g_installdir = dir
  lua_SetText("mainwnd", "path", g_installdir)
  lua_Print("install folder: " .. g_installdir)
end

local function RunAppNow()
  lua_Excute("open", appPath(), "", true)
  lua_EndWnd("mainwnd", "endsetup")
end

local function endByUser()
  lua_EndWnd("mainwnd", "endbylua")
end

local clicks = {
  cancelbtn = endByUser,
  closebtn = endByUser,
  setupbtn = function() startSetup() end,
  link = function() lua_Excute("open", g_lnkLicence, "", true) end,
  selectdir = doSelectDir,
  runbtn = RunAppNow,
}

function OnNotify(wndid, ctrlid, eventid)
  if wndid ~= "mainwnd" then return end
  if eventid == "click" then
    local action = clicks[ctrlid]
    if action then action() end
  elseif eventid == "checkchanged" then
    if ctrlid == "cklicence" then
      lua_EnableCtrl("mainwnd", "setupbtn", lua_IsChecked("mainwnd", "cklicence"))
    else
      UpdateCheckBox(true)
    end
  end
end

---------------------------------------------------------------------------
-- Extraction and what follows it
---------------------------------------------------------------------------
function OnSetupProgress(path, index, count)
  if count <= 0 then return end
  local percent = math.floor((index + 1) * 100 / count)
  lua_SetCtrlAttr("mainwnd", "setupprog", "value", string.format("%d", percent))
end

local function CreateLnk()
  local app = appPath()
  if g_desktopLink then lua_CreateDesktopLnk(app, g_appNikeName, "", g_AppID) end
  if g_taskbarLink then lua_CreateTaskBarLnk(app, g_appNikeName, "", g_AppID) end
  if g_startMenuLink then
    lua_CreateStartMenuShortcurt(g_softName, app, g_appNikeName, "", g_AppID)
  end
end

local function WriteReg()
  local dir = g_installdir
  lua_AddReg("HKCU", APP_KEY, "InstallLocation", "REG_SZ", dir, true)
  lua_AddReg("HKCU", APP_KEY, "unionid", "REG_DWORD", g_unionid, false)
  lua_AddReg("HKLM", UNINSTALL_KEY, "InstallLocation", "REG_SZ", dir, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "DisplayIcon", "REG_SZ", dir .. "\\" .. g_appName, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "DisplayName", "REG_SZ", g_softName, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "DisplayVersion", "REG_SZ", g_appVersion, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "UninstallString", "REG_SZ",
             "\"" .. dir .. "\\Uninstall.exe\"", true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "Publisher", "REG_SZ", g_Publisher, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "EstimatedSize", "REG_DWORD", g_EstimatedSize, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "NoRepair", "REG_DWORD", 1, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "NoModify", "REG_DWORD", 1, true)
  lua_AddReg("HKLM", UNINSTALL_KEY, "InstallDate", "REG_SZ", tostring(g_InstallDate), false)
  lua_AddReg("HKLM", UNINSTALL_KEY, "QuietUninstallString", "REG_SZ",
             "\"" .. dir .. "\\Uninstall.exe\" /silent", true)
end

local function SetAutoRun()
  if g_autoRun then
    lua_AddReg("HKCU", RUN_KEY, g_RegKeyName, "REG_SZ", "\"" .. appPath() .. "\" /auto", true)
  end
end

function OnDecompressRet(nRet)
  lua_Print(string.format("%d", nRet))
  if nRet == 0 then
    CreateLnk()
    WriteReg()
  elseif g_silent then
    setExitCode(EXIT_EXTRACT_FAILED)
  end
  if g_update or g_runapp then RunAppNow() end
  if g_update or g_silent then
    lua_EndWnd("mainwnd", "update")
  else
    SetAutoRun()
    setupStep(3)
  end
  lua_ReportUDP(g_udpsvr, g_appVersion, g_unionid, g_IntAppID, g_IntPort, 1, g_update,
                g_InstallDate)
end
