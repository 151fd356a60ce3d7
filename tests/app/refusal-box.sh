#!/bin/sh
# Drives the refusal box the way a person would: an installer that Wine runs
# as Windows XP shows "错误"; we look at it on the X display, take a
# screenshot, press its button, and expect exit code 0.
#   refusal-box.sh WINE_RUN INSTALLER SCREENSHOT
set -u
wine_run=$1 installer=$2 shot=$3
name=$(basename "$installer")
# The display wine-run shows the program on (SKINSETUP_DISPLAY or the checkout's own).
export DISPLAY="$("$wine_run" --print-display)"
"$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$name" /v Version /d winxp /f >/dev/null
"$wine_run" "$installer" &
pid=$!
win=$(timeout 30 xdotool search --sync --name '^错误$' | head -n 1)
if [ -z "$win" ]; then
  echo "no refusal box appeared"; kill $pid 2>/dev/null; exit 1
fi
sleep 0.5
import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
# Click its only button, centred near the bottom edge (no window manager
# runs on the test display, so the box cannot be activated for keys).
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) click 1
i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 150 ]; then echo "installer did not end"; kill $pid; exit 1; fi
  sleep 0.1
done
wait $pid
status=$?
"$wine_run" reg delete "HKCU\\Software\\Wine\\AppDefaults\\$name" /f >/dev/null 2>&1
echo "exit code: $status"
[ $status -eq 0 ]
