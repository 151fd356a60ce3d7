print("never printed")
function OnRunSetup() print("never either") end
this is not lua
