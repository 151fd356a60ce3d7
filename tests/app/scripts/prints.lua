-- Prints from the chunk and from OnRunSetup, so a test sees both ran.
print("chunk ran")
function OnRunSetup()
  print("OnRunSetup ran")
  io.stdout:flush()
end
