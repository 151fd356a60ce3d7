#!/bin/sh
# A two-page wizard and a message box driven with the real mouse and keyboard
# on the X display: Alt+F4 leaves the wizard open, the check box enables the
# disabled "Next" button, "Next" switches the page,
# "Finish" ends the window with its end code and the message box returns the
# id of the button clicked. The script logs what it saw; screenshots of both
# pages and the message box are kept in OUT.
#   wizard-clicks.sh WINE_RUN INSTALLER OUT
set -u
wine_run=$1 installer=$2 out=$3
# The display wine-run shows the program on (SKINSETUP_DISPLAY or the checkout's own).
export DISPLAY="$("$wine_run" --print-display)"
mkdir -p "$out"
rm -f "$out/log.txt"
SKINSETUP_WIZARD_LOG="Z:$out/log.txt" "$wine_run" "$installer" &
pid=$!
# A failed run ends the installer itself, not only the Wine launcher, so no
# window of it is left on the display to take the next test's clicks.
fail() {
  echo "FAIL: $1"
  [ -f "$out/log.txt" ] && cat "$out/log.txt"
  kill $pid 2>/dev/null
  pkill -9 -f "$(basename "$installer")" 2>/dev/null
  exit 1
}
win=$(timeout 30 xdotool search --sync --onlyvisible --classname 'wizard_x' | head -n 1)
[ -n "$win" ] || fail "no window appeared"
sleep 0.5
# Positions are read again before each click, and no click lands on the
# draggable background, so a slow machine can never drag the window away.
click() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.2; xdotool click 1; sleep 0.5
}
logged() { tr -d '\r' <"$out/log.txt" 2>/dev/null | grep -qx "$1"; }
# Waits for the script to log LINE (slow machines deliver clicks late).
wait_log() {
  i=0
  until logged "$1" || [ $i -ge 50 ]; do i=$((i + 1)); sleep 0.1; done
  logged "$1"
}
# Clicks at X Y until the script logs LINE: under load Wine now and then
# drops a click on a window that has just changed; a click that arrived is
# never repeated.
click_until() {
  for attempt in 1 2 3; do
    click "$2" "$3"
    wait_log "$1" && return 0
  done
  fail "no '$1' after three clicks"
}
shot() { import -window root -crop "$3x$4+$1+$2" "$out/$5.png" 2>/dev/null; }

# A click on the title gives the window the keyboard; Alt+F4 is ignored (a
# window that takes it disappears within about two seconds here).
wait_log "init mainwnd"
click 60 40
xdotool key --clearmodifiers alt+F4
sleep 3
xdotool search --onlyvisible --classname 'wizard_x' >/dev/null || fail "Alt+F4 closed the wizard"
eval "$(xdotool getwindowgeometry --shell "$win")"
shot $X $Y 400 300 page1
click_until "notify cklicence checkchanged" 100 135  # the licence check box
click_until "notify nextbtn click" 326 260            # "Next", now enabled
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$win")"
shot $X $Y 400 300 page2
click_until "notify finishbtn click" 326 260  # "Finish" on page two
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Finished$' | head -n 1)
[ -n "$box" ] || fail "no message box appeared"
sleep 0.5
win=$box
eval "$(xdotool getwindowgeometry --shell "$win")"
shot $X $Y 260 140 msgbox
click 194 106  # "OK"
i=0
while kill -0 $pid 2>/dev/null; do
  i=$((i + 1))
  [ $i -le 100 ] || fail "the installer did not end"
  sleep 0.1
done
wait $pid
status=$?
expected="init mainwnd
notify cklicence checkchanged
notify nextbtn click
notify finishbtn click
end finished
msgbox okbtn"
log=$(tr -d '\r' < "$out/log.txt")
[ "$log" = "$expected" ] || fail "the script saw: $log"
echo "exit code: $status; screenshots in $out"
[ $status -eq 0 ]
