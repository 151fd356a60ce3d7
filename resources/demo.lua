-- A small installer script for `make demo`: prints what the installer sees.
local function show(label, fn, ...)
  if fn then
    print(string.format("%-14s %s", label, table.concat({tostring(fn(...))}, " ")))
  end
end

function OnRunSetup()
  print("skinsetup demo: the script is running inside the installer")
  if lua_GetOsVer then
    local major, minor, build = lua_GetOsVer()
    print(string.format("%-14s %d.%d.%d", "Windows", major, minor, build))
  end
  show("program files", lua_ProgramDir)
  show("program (64)", lua_ProgramDir64)
  show("local data", lua_LocalDataDir)
  show("temp", lua_TempDir)
  show("exe name", lua_getExeFileName)
  show("command line", lua_GetCmdLine)
  show("update mode", lua_IsUpdateMode)
  show("channel", lua_GetUinonByFileName)
  show("date", lua_getCurDate)
  local n = 0
  for name, value in pairs(_G) do
    if type(value) == "function" and name:sub(1, 4) == "lua_" then n = n + 1 end
  end
  print(string.format("%-14s %d", "host functions", n))
end
