-- Example App's installer: a three-page wizard, or a silent install with
-- /silent. Saved as UTF-8 without a byte-order mark. uninstall.lua removes
-- what this script writes: keep the names below in step with it.
local APP = "Example App"
local KEY = "SOFTWARE\\ExampleApp"
local UNINSTALL = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ExampleApp"
local EXE = "ExampleApp.exe"

local installdir = ""
local silent = false
local desktopLink = true

local function showPage(n)
  for i = 1, 3 do lua_ShowCtrl("mainwnd", "page" .. i, i == n) end
  lua_LayoutCtrl("mainwnd", "")
  lua_EnableCtrl("mainwnd", "closebtn", n ~= 2)
end

local function startSetup()
  if not lua_CheckCreateDir(installdir) then return end
  lua_KillProcessByName(EXE)
  if not silent then showPage(2) end
  lua_StartDecompress(installdir)
end

function OnRunSetup()
  silent = lua_hasParam("/silent")
  local dir = lua_GetCmdLine():match("/dir=(%S+)")
  installdir = dir or lua_QueryRegStr("HKCU", KEY, "InstallLocation")
  if installdir == "" then installdir = lua_PathAppend(lua_ProgramDir(), "ExampleApp") end
  lua_Print("install folder: " .. installdir)
  if silent then
    startSetup()
  else
    lua_ShowWnd("mainwnd", "xml\\main.xml", APP .. " Setup")
  end
end

function OnInitWnd(wnd)
  lua_SetText(wnd, "path", installdir)
  lua_SetChecked(wnd, "ckdesktop", desktopLink)
  showPage(1)
end

function OnNotify(wnd, ctrl, event)
  if event == "click" then
    if ctrl == "closebtn" then
      lua_EndWnd(wnd, "cancel")
    elseif ctrl == "setupbtn" then
      startSetup()
    elseif ctrl == "selectdir" then
      local dir = lua_SelectDir(installdir, "Choose the install folder")
      if dir ~= "" then
        if lua_getPathFileName(dir) ~= "ExampleApp" then dir = lua_PathAppend(dir, "ExampleApp") end
        installdir = dir
        lua_SetText(wnd, "path", dir)
      end
    elseif ctrl == "finishbtn" then
      lua_EndWnd(wnd, "done")
    end
  elseif event == "checkchanged" then
    if ctrl == "cklicence" then
      lua_EnableCtrl(wnd, "setupbtn", lua_IsChecked(wnd, "cklicence"))
    elseif ctrl == "ckdesktop" then
      desktopLink = lua_IsChecked(wnd, "ckdesktop")
    end
  end
end

function OnSetupProgress(path, index, count)
  if path == "" then
    lua_SetCtrlAttr("mainwnd", "setupprog", "value", string.format("%d", index))
  end
end

local function writeRegistry()
  lua_AddReg("HKCU", KEY, "InstallLocation", "REG_SZ", installdir, true)
  lua_AddReg("HKLM", UNINSTALL, "DisplayName", "REG_SZ", APP, true)
  lua_AddReg("HKLM", UNINSTALL, "DisplayVersion", "REG_SZ", "1.0.0", true)
  lua_AddReg("HKLM", UNINSTALL, "Publisher", "REG_SZ", "Example Ltd", true)
  lua_AddReg("HKLM", UNINSTALL, "InstallLocation", "REG_SZ", installdir, true)
  lua_AddReg("HKLM", UNINSTALL, "DisplayIcon", "REG_SZ", installdir .. "\\" .. EXE, true)
  lua_AddReg("HKLM", UNINSTALL, "UninstallString", "REG_SZ",
             '"' .. installdir .. '\\Uninstall.exe"', true)
  lua_AddReg("HKLM", UNINSTALL, "QuietUninstallString", "REG_SZ",
             '"' .. installdir .. '\\Uninstall.exe" /silent', true)
  lua_AddReg("HKLM", UNINSTALL, "InstallDate", "REG_SZ", tostring(lua_getCurDate()), false)
end

function OnDecompressRet(code)
  lua_Print(string.format("extraction result %d", code))
  if code == 0 then
    writeRegistry()
    if desktopLink then lua_CreateDesktopLnk(installdir .. "\\" .. EXE, APP, "", "ExampleApp") end
  end
  if silent then return end
  if code ~= 0 then lua_SetText("mainwnd", "info", "The installation failed (" .. code .. ").") return end
  showPage(3)
end
