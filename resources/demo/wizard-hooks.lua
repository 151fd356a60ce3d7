
-- Demo hooks, appended to the shipped script by `make demo` only. With
-- SKINSETUP_DEMO naming a folder, every lua_Print line is also written to
-- script.log there (the debugger channel is hard to read under Wine), and
-- the bar pauses once past 40% so that the demo's screenshot of the
-- progress page catches it moving (marker file bar-40).
local folder = os.getenv("SKINSETUP_DEMO")
if folder and folder ~= "" then
  local log = io.open(folder .. "\\script.log", "w")
  local shippedPrint = lua_Print
  lua_Print = function(text)
    if log then log:write(tostring(text), "\n"); log:flush() end
    return shippedPrint(text)
  end
  local shippedProgress = OnSetupProgress
  local paused = false
  OnSetupProgress = function(path, index, count)
    shippedProgress(path, index, count)
    local percent = count > 0 and math.floor((index + 1) * 100 / count) or 0
    if not paused and percent >= 40 then
      paused = true
      local f = io.open(folder .. "\\bar-40", "w")
      if f then f:write(tostring(percent)); f:close() end
      local until_ = os.clock() + 2
      while os.clock() < until_ do end
    end
  end
end
