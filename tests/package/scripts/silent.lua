-- Installs the payload without a window into the folder given as
-- /dir="..." and prints every callback it receives, in order.
function OnRunSetup()
  local folder = lua_GetCmdLine():match('/dir=\\?"(.-)\\?"') or ""
  local lines = {}
  function OnSetupProgress(path, index, count)
    lines[#lines + 1] = string.format("progress [%s] %d %d", path, index, count)
  end
  function OnDecompressRet(code)
    lines[#lines + 1] = "result " .. code
  end
  lua_StartDecompress(folder)
  lines[#lines + 1] = "returned"
  print("\n" .. table.concat(lines, "\n"))
end
