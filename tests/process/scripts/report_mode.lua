-- Prints what the installer reads from its file name and command line.
function OnRunSetup()
  print("channel=" .. lua_GetUinonByFileName())
  print("silent=" .. tostring(lua_IsSilentByFileName()))
  print("update=" .. tostring(lua_IsUpdateMode()))
  print("silentparam=" .. tostring(lua_hasParam("/silent")))
  print("cmdline=" .. lua_GetCmdLine())
  io.stdout:flush()
end
