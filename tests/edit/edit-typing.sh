#!/bin/sh
# Types into edit fields with the real keyboard on the X display: letters
# appear, Shift+Left selects, Ctrl+C and Ctrl+V round trip through the
# clipboard, Backspace deletes and Ctrl+Z undoes it, Enter in the single-line
# field raises its notification and leaves the text, the number field refuses
# a letter, the password field keeps what was typed, and the native child
# edit takes text and raises "vkreturn", and the rich-text field takes
# text but leaves Tab to the window, which moves the focus to the first field. A screenshot is kept in OUT.
#   edit-typing.sh WINE_RUN PROGRAM OUT
set -u
wine_run=$1 program=$2 out=$3
# The display wine-run shows the program on (SKINSETUP_DISPLAY or the checkout's own).
export DISPLAY="$("$wine_run" --print-display)"
mkdir -p "$out"
rm -f "$out/log.txt"
"$wine_run" "$program" "Z:$out/log.txt" &
pid=$!
fail() { echo "FAIL: $1"; [ -f "$out/log.txt" ] && cat "$out/log.txt"; kill $pid 2>/dev/null; exit 1; }
# Wine's short-lived helper windows can make one search fail; try again.
win=
for attempt in 1 2 3; do
  win=$(timeout 30 xdotool search --sync --onlyvisible --name '^skinsetup edit test$' 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  sleep 1
done
[ -n "$win" ] || fail "no window appeared"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
wx=$X wy=$Y
click() { xdotool mousemove $((wx + $1)) $((wy + $2)); sleep 0.2; xdotool click 1; sleep 0.4; }
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.15; done; }
typed() { xdotool type --delay 80 "$1"; sleep 0.3; }

click 100 33  # the plain field
typed hello
keys shift+Left shift+Left ctrl+c End ctrl+v BackSpace ctrl+z Return
click 100 73  # the number field
typed 12a3
click 100 113  # the password field
typed secret
click 100 153  # the native edit
typed nat
keys Return
click 100 193  # the rich-text field: Tab is not its own, it moves the focus on
typed rich
keys Tab
typed ok
sleep 0.3
import -window root -crop "360x280+$wx+$wy" "$out/fields.png" 2>/dev/null
click 335 20  # the close box
i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  [ $i -le 100 ] || fail "the program did not end"
  sleep 0.1
done
wait $pid
status=$?
expected="event plain edit_notify
event native vkreturn
text plain hellolok
text number 123
text pass secret
text native nat
text rich rich"
log=$(tr -d '\r' < "$out/log.txt")
[ "$log" = "$expected" ] || fail "the fields ended with: $log"
echo "exit code: $status; screenshot in $out"
[ $status -eq 0 ]
