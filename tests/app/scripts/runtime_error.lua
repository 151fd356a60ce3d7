print("before the error")
io.stdout:flush()
function OnRunSetup()
  print("OnRunSetup ran")
  io.stdout:flush()
  error("boom")
end
error("chunk error after defining OnRunSetup")
