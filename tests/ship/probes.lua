
-- Test probes, appended to the shipped script by the wizard tests only.
-- With SHIP_PROBE naming a folder, the script writes what a test cannot see
-- from outside into files there: the first progress past 20 and past 60
-- (holding the bar still for a moment, so a screenshot can catch it) and
-- the end code of the main window and the last text given to each control.
local probe = os.getenv("SHIP_PROBE")
if probe and probe ~= "" then
  local function mark(name, text)
    local f = io.open(probe .. "\\" .. name, "w")
    if f then f:write(text); f:close() end
  end
  local shippedProgress = OnSetupProgress
  local marks = {20, 60}
  OnSetupProgress = function(path, index, count)
    shippedProgress(path, index, count)
    local percent = count > 0 and math.floor((index + 1) * 100 / count) or 0
    if marks[1] and percent >= marks[1] then
      mark("bar-" .. table.remove(marks, 1), tostring(percent))
      local until_ = os.clock() + 2
      while os.clock() < until_ do end
    end
  end
  local shippedSetText = lua_SetText
  lua_SetText = function(wnd, ctrl, text)
    mark("text-" .. ctrl, text)
    return shippedSetText(wnd, ctrl, text)
  end
  local shippedShowWnd = lua_ShowWnd
  lua_ShowWnd = function(...)
    local code = shippedShowWnd(...)
    mark("endcode", code)
    return code
  end
end
