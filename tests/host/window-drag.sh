#!/bin/sh
# Drags a host window with the real mouse on the X display: a press on its
# "hit" false background and a drag move the window; a press and drag on a
# control leave it where it is. Then the close button ends the program.
#   window-drag.sh WINE_RUN PROGRAM SCREENSHOT
set -u
wine_run=$1 program=$2 shot=$3
# The display wine-run shows the program on (SKINSETUP_DISPLAY or the checkout's own).
export DISPLAY="$("$wine_run" --print-display)"
"$wine_run" "$program" &
pid=$!
fail() { echo "$1"; kill $pid 2>/dev/null; exit 1; }
win=$(timeout 30 xdotool search --sync --name '^skinsetup drag test$' | head -n 1)
[ -n "$win" ] || fail "no window appeared"
sleep 0.5
where() { eval "$(xdotool getwindowgeometry --shell "$win")"; echo "$X,$Y"; }
# Presses at (x, y) inside the window and moves the mouse by (dx, dy) in steps.
drag() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  px=$((X + $1)) py=$((Y + $2))
  xdotool mousemove $px $py; sleep 0.2
  xdotool mousedown 1; sleep 0.2
  for i in 1 2 3 4 5; do
    xdotool mousemove $((px + $3 * i / 5)) $((py + $4 * i / 5)); sleep 0.1
  done
  xdotool mouseup 1; sleep 0.4
}
start=$(where)
drag 20 150 100 50  # the background
moved=$(where)
expected="$(( ${start%,*} + 100 )),$(( ${start#*,} + 50 ))"
echo "background drag: $start -> $moved (expected $expected)"
[ "$moved" = "$expected" ] || fail "a drag on the background did not move the window"
drag 60 60 80 40  # the blue control
after=$(where)
echo "control drag: $moved -> $after"
[ "$after" = "$moved" ] || fail "a drag on a control moved the window"
import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 295)) $((Y + 20)) click 1
i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  [ $i -le 100 ] || fail "the close button did not end the program"
  sleep 0.1
done
wait $pid
status=$?
echo "exit code: $status"
[ $status -eq 0 ]
