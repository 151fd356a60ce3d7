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

-- The demo's install: the payload goes silently (no window, so the
-- extraction runs inside lua_StartDecompress) into the temporary folder.
local base_run_setup = OnRunSetup
local result_text = {
  [0] = "0 (installed)",
  [-1] = "-1 (the install folder could not be created)",
  [-2] = "-2 (the installer carries no payload)",
  [-3] = "-3 (the extraction failed)",
}

function OnRunSetup()
  base_run_setup()
  if not lua_StartDecompress then return end
  local folder = lua_PathAppend(lua_TempDir(), "skinsetup-demo")
  lua_DeleteDir(folder)
  local percents, skipped, result = {}, {}, nil
  function OnSetupProgress(path, index, count)
    if path == "" then
      percents[#percents + 1] = tostring(index)
    else
      skipped[#skipped + 1] = string.format("%s (entry %d of %d)", path, index + 1, count)
    end
  end
  function OnDecompressRet(code) result = code end

  print("")
  print("installing into " .. folder .. "; the extraction log:")
  lua_StartDecompress(folder)
  print("")
  print(string.format("%-14s %s", "progress", table.concat(percents, " ")))
  for _, s in ipairs(skipped) do print(string.format("%-14s %s", "skipped", s)) end
  print(string.format("%-14s %s", "result", result_text[result] or tostring(result)))
  if result ~= 0 then return end
  local program = io.popen('cd /d "' .. folder .. '\\app" && hello.exe')
  if program then
    io.write(program:read("a"))
    program:close()
  end
end
