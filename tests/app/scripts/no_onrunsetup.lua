print("chunk ran without OnRunSetup")
io.stdout:flush()
