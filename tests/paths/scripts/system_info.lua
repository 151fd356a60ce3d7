-- Prints what the installer learns about itself and the system, and keeps a
-- registry value across the same calls the shipped script makes.
function OnRunSetup()
  print("exe=" .. lua_getExeFileName())
  print("wow64=" .. tostring(lua_Wow64()))
  local major, minor, build = lua_GetOsVer()
  print("os=" .. major .. "." .. minor .. "." .. build)
  print("join=" .. lua_PathAppend(lua_ProgramDir64(), "\\App"))
  local key = "SOFTWARE\\skinsetup-tests\\installer"
  lua_AddReg("HKLM", key .. "\\App", "Path", "REG_SZ", "C:\\App", true)
  print("reg=" .. lua_QueryRegStr("HKLM", key .. "\\App", "Path"))
  lua_DelRegKey("HKLM", key, "App")
  print("after=" .. lua_QueryRegStr("HKLM", key .. "\\App", "Path"))
  io.stdout:flush()
end
