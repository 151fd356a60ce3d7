#!/bin/sh
# The shipped installer end to end, driven with the real mouse and keyboard
# on the X display. Every case starts from a known registry and file state:
# the product's keys removed (or set as the case needs) and a scratch folder
# under C:\skinsetup-ship emptied.
#   wizard.sh BUILD_DIR INPUT_DIR PORT [CASE...]
# Cases: normal licence reinstall selectdir update damaged silent uninstall
#        uninstall_tampered uninstall_wizard
set -u
build=$1 inputs=$2 port=$3
shift 3
cases=${*:-normal licence reinstall selectdir update damaged silent uninstall uninstall_tampered uninstall_wizard}
wine_run="$build/wine-run"
installers="$build/test-installers"
prefix="$build/wineprefix"
export DISPLAY="$("$wine_run" --print-display)"  # where wine-run shows the installer
here=$(cd "$(dirname "$0")" && pwd)
work="$build/ship-test-run"
rm -rf "$work"
mkdir -p "$work/probe"
export SHIP_PROBE="Z:$(printf '%s' "$work/probe" | tr / '\\')"
export WINEDEBUG=-all

scratch_win='C:\skinsetup-ship'
scratch_reg='C:\\skinsetup-ship'  # as .reg files write it
scratch="$prefix/drive_c/skinsetup-ship"
default_dir="$prefix/drive_c/Program Files/QuorinFormat"
app_key='HKEY_CURRENT_USER\SOFTWARE\QuorinFormat'
uninstall_key='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorinFormat'
run_key='HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
shortcut_name='Quorin格式转换.lnk'

failures=0
pid=""
fail() {
  printf 'FAIL [%s]: %s\n' "$case" "$1"
  failures=$((failures + 1))
}
check() {  # DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then printf 'ok   [%s]: %s\n' "$case" "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

# --- registry and files ----------------------------------------------------

reg_scratch=$work
. "$here/../support/registry.sh"

desktop_shortcut() {
  for d in "$prefix"/drive_c/users/*/Desktop "$prefix"/drive_c/users/Public/Desktop; do
    [ -f "$d/$shortcut_name" ] && { echo "$d/$shortcut_name"; return 0; }
  done
  return 1
}
reset_state() {
  reg_import "[-$app_key]" "[-$uninstall_key]" "[$run_key]" '"QuorinFormat"=-' "$@"
  rm -rf "$scratch" "$default_dir" "$work/probe"
  mkdir -p "$scratch" "$work/probe"
  for d in "$prefix"/drive_c/users/*/Desktop "$prefix"/drive_c/users/Public/Desktop; do
    rm -f "$d/$shortcut_name"
  done
}
probe() { cat "$work/probe/$1" 2>/dev/null; }
# The user's temporary folder inside the prefix (either profile layout).
temp_dir() {
  for d in "$prefix"/drive_c/users/*/AppData/Local/Temp "$prefix"/drive_c/users/*/Temp; do
    case "$d" in */Public/*) continue ;; esac
    [ -d "$d" ] && { echo "$d"; return 0; }
  done
}
uninstall_log() { cat "$(temp_dir)/QuorinFormat-uninstall.log" 2>/dev/null | tr -d '\r'; }
# The files the system deletes at the next restart, one Windows path a line.
pending_renames() {
  rm -f "$work/out.reg"
  "$wine_run" regedit /E "Z:$(printf '%s' "$work/out.reg" | tr / '\\')" \
    'HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager' >/dev/null 2>&1
  [ -f "$work/out.reg" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$work/out.reg" | tr -d '\r' \
    | sed -n '/^"PendingFileRenameOperations"=hex(7):/,/[^\\]$/p' \
    | sed -e 's/^"PendingFileRenameOperations"=hex(7)://' -e 's/\\$//' | tr -d ' ,\n' \
    | xxd -r -p | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n'
}
reports() { [ -f "$work/reports" ] && wc -l <"$work/reports" | tr -d ' ' || echo 0; }

# --- the window ------------------------------------------------------------

start() {  # EXE ARGS...
  exe=$1
  shift
  "$wine_run" "$installers/$exe" "$@" >"$work/run.log" 2>&1 &
  pid=$!
  win=$(timeout 40 xdotool search --sync --onlyvisible --class "^$exe\$" 2>/dev/null | head -n 1)
  [ -n "$win" ] || { fail "no window appeared"; return 1; }
  sleep 0.7
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$win" 2>/dev/null)"; }
click() {  # X Y inside the window
  geometry
  xdotool mousemove $((X + $1)) $((Y + $2))
  sleep 0.25
  xdotool click 1
  sleep 0.5
}
alt_f4() {
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win" 2>/dev/null
  xdotool key --clearmodifiers alt+F4
  sleep 0.8
}
shot() {  # FILE: the window as the screen shows it
  geometry
  import -window root -crop "650x450+$X+$Y" +repage "$1" 2>/dev/null
}
rgb() {  # FILE X Y -> "r g b"
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# Which page the window shows: the green tick of page 3, the bar of page 2,
# the install button of page 1 (blue when enabled, grey when disabled).
page() {
  shot "$work/page.png"
  set -- $(rgb "$work/page.png" 320 113)
  if [ "$2" -gt 150 ] && [ "$1" -lt 100 ]; then echo 3; return; fi
  set -- $(rgb "$work/page.png" 600 358)
  if [ "$1" -lt 245 ]; then echo 2; return; fi
  set -- $(rgb "$work/page.png" 240 318)
  if [ "$3" -gt 200 ] && [ "$1" -lt 150 ]; then echo 1; return; fi
  if [ "$1" -gt 190 ] && [ "$1" -lt 215 ] && [ "$3" -lt 225 ]; then echo 1-disabled; return; fi
  echo unknown
}
wait_page() {  # PAGE SECONDS
  i=0
  while [ "$(page)" != "$1" ]; do
    i=$((i + 1))
    [ $i -le $(($2 * 2)) ] || return 1
    sleep 0.5
  done
}
# Columns of the progress bar drawn in the fill colour.
bar_fill() {
  convert "$1" -crop 570x1+40+358 +repage txt:- \
    | awk -F'[(),]' 'NR > 1 { if ($5 > $3 + 60) n++ } END { print n + 0 }'
}
wait_marker() {  # NAME SECONDS
  i=0
  while [ ! -f "$work/probe/$1" ]; do
    i=$((i + 1))
    [ $i -le $(($2 * 10)) ] || return 1
    sleep 0.1
  done
}
wait_exit() {  # SECONDS
  i=0
  while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    [ $i -le $(($1 * 10)) ] || { kill "$pid" 2>/dev/null; return 1; }
    sleep 0.1
  done
  wait "$pid"
}
wait_reports() {  # COUNT
  i=0
  while [ "$(reports)" -lt "$1" ]; do
    i=$((i + 1))
    [ $i -le 50 ] || return 1
    sleep 0.1
  done
}

# Button and box positions in the 650 x 450 window.
SETUP="325 318" CLOSE="626 20" LICENCE="48 420" AUTORUN="408 420" SELECTDIR="565 378" RUN="325 344"

# --- the cases -------------------------------------------------------------

case_normal() {
  reset_state
  before=$(reports)
  start ship_wizard.exe || return
  check "page 1 at start" 1 "$(page)"
  check "page 1 shows the default folder" 'C:\Program Files\QuorinFormat' "$(probe text-path)"
  alt_f4
  check "Alt+F4 on page 1 leaves the wizard open" 1 "$(page)"
  click $SETUP
  wait_marker bar-20 20 || fail "no progress past 20%"
  shot "$work/bar-20.png"
  check "page 2 while extracting" 2 "$(page)"
  click $CLOSE
  alt_f4
  check "the close button and Alt+F4 do nothing on page 2" 2 "$(page)"
  wait_marker bar-60 20 || fail "no progress past 60%"
  shot "$work/bar-60.png"
  early=$(bar_fill "$work/bar-20.png") late=$(bar_fill "$work/bar-60.png")
  echo "     bar fill: $early then $late of 570 columns"
  [ "$early" -gt 50 ] && [ "$late" -gt $((early + 20)) ] || fail "the bar did not advance ($early -> $late)"
  wait_page 3 30 || fail "page 3 did not come"
  check "page 3 after the extraction" 3 "$(page)"
  alt_f4
  check "Alt+F4 on page 3 leaves the wizard open" 3 "$(page)"
  click $RUN
  wait_exit 20 || fail "the installer did not end after the run button"
  check "end code" endsetup "$(probe endcode)"
  i=0
  while [ ! -f "$default_dir/launched.txt" ] && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.2; done
  [ -f "$default_dir/launched.txt" ] && echo "ok   [$case]: the installed program ran" \
    || fail "the installed program did not run"
  [ -f "$default_dir/QuorinFormat.exe" ] && [ -f "$default_dir/data/samples.txt" ] \
    || fail "the payload did not land in $default_dir"
  dir='C:\\Program Files\\QuorinFormat'
  check "HKCU values" "$(printf '"InstallLocation"="%s"\n"unionid"=dword:000003e9' "$dir")" \
    "$(reg_dump "$app_key")"
  expected=$(printf '%s\n' \
    "\"DisplayIcon\"=\"$dir\\\\QuorinFormat.exe\"" \
    '"DisplayName"="Quorin格式转换"' '"DisplayVersion"="1.0.0.2"' \
    '"EstimatedSize"=dword:00000bb8' "\"InstallDate\"=\"$(date +%Y%m%d)\"" \
    "\"InstallLocation\"=\"$dir\"" '"NoModify"=dword:00000001' '"NoRepair"=dword:00000001' \
    '"Publisher"="Quorin软件有限公司"' \
    "\"QuietUninstallString\"=\"\\\"$dir\\\\Uninstall.exe\\\" /silent\"" \
    "\"UninstallString\"=\"\\\"$dir\\\\Uninstall.exe\\\"\"")
  check "uninstall entry" "$expected" "$(reg_dump "$uninstall_key" | sort)"
  check "no autostart value" "" "$(reg_value "$run_key" QuorinFormat)"
  desktop_shortcut >/dev/null && echo "ok   [$case]: desktop shortcut" || fail "no desktop shortcut"
  wait_reports $((before + 1)) || fail "no report arrived"
  check "report" "98 108 1001 0 $(date +%Y%m%d) 1.0.0.2" "$(tail -n 1 "$work/reports" 2>/dev/null)"
}

case_licence() {
  reset_state "[$app_key]" "\"InstallLocation\"=\"$scratch_reg\\\\lic\\\\QuorinFormat\""
  start ship_wizard.exe || return
  click $LICENCE
  check "unchecking the licence disables the install button" 1-disabled "$(page)"
  click $SETUP
  sleep 1
  check "a click on the disabled button does nothing" 1-disabled "$(page)"
  [ ! -d "$scratch/lic" ] || fail "the disabled button created the folder"
  click $LICENCE
  check "checking it again enables the button" 1 "$(page)"
  click $CLOSE
  wait_exit 15 || fail "the close button did not end the wizard"
  check "end code" endbylua "$(probe endcode)"
}

case_reinstall() {
  dir="$scratch_win\\again\\QuorinFormat"
  reset_state "[$uninstall_key]" "\"InstallLocation\"=\"$(printf '%s' "$dir" | sed 's/\\/\\\\/g')\"" \
    '"InstallDate"="20200102"' "[$app_key]" '"unionid"=dword:000004d2'
  before=$(reports)
  start ship_wizard.exe || return
  check "the recorded folder is offered" "$dir" "$(probe text-path)"
  click $AUTORUN
  click $SETUP
  wait_page 3 40 || fail "page 3 did not come"
  click $CLOSE
  wait_exit 15 || fail "the close button did not end the wizard"
  check "end code" endbylua "$(probe endcode)"
  [ -f "$scratch/again/QuorinFormat/QuorinFormat.exe" ] || fail "nothing landed in the offered folder"
  esc=$(printf '%s' "$dir" | sed 's/\\/\\\\/g')
  check "autostart value" "\"\\\"$esc\\\\QuorinFormat.exe\\\" /auto\"" "$(reg_value "$run_key" QuorinFormat)"
  check "unionid kept" "dword:000004d2" "$(reg_value "$app_key" unionid)"
  check "InstallDate kept" '"20200102"' "$(reg_value "$uninstall_key" InstallDate)"
  wait_reports $((before + 1)) || fail "no report arrived"
  # The datagram's date is the day it is sent.
  check "report carries the kept channel" "98 108 1234 0 $(date +%Y%m%d) 1.0.0.2" \
    "$(tail -n 1 "$work/reports" 2>/dev/null)"
}

case_selectdir() {
  # No recorded folder and no default folder yet: the dialog starts at the
  # desktop, whose name is not the product's.
  reset_state
  start ship_wizard.exe || return
  click $SELECTDIR
  dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Browse for Folder$' 2>/dev/null | head -n 1)
  [ -n "$dialog" ] || { fail "no folder dialog"; return; }
  sleep 3  # the dialog fills its tree after it shows
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove $((X + 195)) $((Y + 296)) click 1  # its OK button
  i=0
  while xdotool search --onlyvisible --name '^Browse for Folder$' >/dev/null 2>&1 && [ $i -lt 20 ]; do
    i=$((i + 1)); sleep 0.5
  done
  sleep 0.5
  chosen=$(probe text-path)
  case "$chosen" in
    'C:\users\'*'\Desktop\QuorinFormat') printf 'ok   [%s]: %s\n' "$case" "the product folder was appended: $chosen" ;;
    *) fail "expected the desktop folder with QuorinFormat appended, got '$chosen'" ;;
  esac
  click $CLOSE
  wait_exit 15 || fail "the close button did not end the wizard"
}

case_update() {
  dir="$scratch_win\\upd\\QuorinFormat"
  reset_state "[$uninstall_key]" "\"InstallLocation\"=\"$(printf '%s' "$dir" | sed 's/\\/\\\\/g')\""
  before=$(reports)
  start ship_wizard.exe /update || return
  wait_marker bar-20 20 || fail "no progress past 20%"
  check "update mode opens on page 2" 2 "$(page)"
  check "with the update text" "正在更新..." "$(probe text-lbSetupInfo)"
  wait_exit 40 || fail "the update did not end by itself"
  check "end code" update "$(probe endcode)"
  i=0
  while [ ! -f "$scratch/upd/QuorinFormat/launched.txt" ] && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.2; done
  [ -f "$scratch/upd/QuorinFormat/launched.txt" ] && echo "ok   [$case]: the program was started" \
    || fail "the program was not started"
  wait_reports $((before + 1)) || fail "no report arrived"
  check "the report says update" "98 108 1001 1" "$(tail -n 1 "$work/reports" | cut -d' ' -f1-4)"
}

case_damaged() {
  reset_state "[$uninstall_key]" "\"InstallLocation\"=\"$scratch_reg\\\\bad\\\\QuorinFormat\""
  before=$(reports)
  start ship_wizard_damaged.exe || return
  click $SETUP
  wait_page 3 40 || fail "a damaged payload did not reach page 3"
  click $CLOSE
  wait_exit 15 || fail "the close button did not end the wizard"
  check "no values under the product key" "" "$(reg_dump "$app_key")"
  check "the uninstall entry holds only what was there" \
    "\"InstallLocation\"=\"$scratch_reg\\\\bad\\\\QuorinFormat\"" "$(reg_dump "$uninstall_key")"
  desktop_shortcut >/dev/null && fail "a shortcut was made" || echo "ok   [$case]: no shortcut"
  wait_reports $((before + 1)) && echo "ok   [$case]: the report was sent" || fail "no report arrived"
}

case_silent() {
  reset_state
  before=$(reports)
  "$wine_run" "$installers/ship_silent.exe" /silent "/dir=$scratch_win\\quiet" >"$work/run.log" 2>&1 &
  pid=$!
  seen=""
  while kill -0 $pid 2>/dev/null; do
    [ -n "$(xdotool search --onlyvisible --class '^ship_silent.exe$' 2>/dev/null)" ] && seen=yes
    sleep 0.2
  done
  wait $pid
  status=$?
  check "silent install exit code" 0 "$status"
  check "no window" "" "$seen"
  [ -f "$scratch/quiet/QuorinFormat.exe" ] && [ -f "$scratch/quiet/data/samples.txt" ] \
    && echo "ok   [$case]: the files landed in the /dir= folder" || fail "no files in the /dir= folder"
  i=0
  while [ ! -f "$scratch/quiet/launched.txt" ] && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.2; done
  [ -f "$scratch/quiet/launched.txt" ] && echo "ok   [$case]: the program was started" \
    || fail "the program was not started"
  check "values written" "\"InstallLocation\"=\"$scratch_reg\\\\quiet\"" \
    "$(reg_dump "$app_key" | grep InstallLocation)"
  wait_reports $((before + 1)) || fail "no report arrived"
  check "report of channel 1003" "98 108 1003 0" "$(tail -n 1 "$work/reports" | cut -d' ' -f1-4)"

  reset_state
  before=$(reports)
  "$wine_run" "$installers/ship_silent_damaged.exe" /silent "/dir=$scratch_win\\broken" \
    >"$work/run.log" 2>&1
  status=$?
  check "a damaged payload exits with 2" 2 "$status"
  check "and writes no values" "" "$(reg_dump "$app_key")"
  wait_reports $((before + 1)) && echo "ok   [$case]: the report was sent" || fail "no report arrived"
}

# --- the uninstaller -------------------------------------------------------

# Installs silently into the scratch folder NAME, with the program left
# running, an autostart value and a file of the user's inside and beside it.
install_for_uninstall() {  # NAME
  reset_state
  "$wine_run" "$installers/ship_silent.exe" /silent "/dir=$scratch_win\\$1\\QuorinFormat" \
    >"$work/run.log" 2>&1
  installed="$scratch/$1/QuorinFormat"
  [ -f "$installed/Uninstall.exe" ] && [ -f "$installed/install.lst" ] \
    && echo "ok   [$case]: the uninstaller and its list were installed" || fail "no uninstaller installed"
  reg_import "[$run_key]" "\"QuorinFormat\"=\"\\\"$scratch_reg\\\\$1\\\\QuorinFormat\\\\QuorinFormat.exe\\\" /auto\""
  printf 'user' >"$installed/data/mine.txt"
  printf 'user' >"$scratch/$1/beside.txt"
  cp "$installed/Uninstall.exe" "$work/Uninstall-again.exe"
}
# Nothing of the product is left but the user's file, the file the running
# program wrote (launched.txt, not installed) and their folders.
check_removed() {
  check "what stays in the install folder" "QuorinFormat/data/mine.txt QuorinFormat/launched.txt" \
    "$(cd "$scratch/$1" && find QuorinFormat -type f | sort | tr '\n' ' ' | sed 's/ $//')"
  check "the file beside it" user "$(cat "$scratch/$1/beside.txt" 2>/dev/null)"
  check "the application key" "" "$(reg_dump "$app_key")"
  check "the uninstall entry" "" "$(reg_dump "$uninstall_key")"
  check "the autostart value" "" "$(reg_value "$run_key" QuorinFormat)"
  desktop_shortcut >/dev/null && fail "the desktop shortcut stays" || echo "ok   [$case]: no desktop shortcut"
  ps -eo args= | grep -q 'QuorinFormat[\\/]QuorinFormat.exe' && fail "the program still runs" \
    || echo "ok   [$case]: the program is not running"
  log=$(uninstall_log)
  printf '%s\n' "$log" | grep -q '^kept: .*\\QuorinFormat\\data\\mine\.txt (not installed, kept)$' \
    && echo "ok   [$case]: the log names the user's file" || fail "the log does not name mine.txt: $log"
  printf '%s\n' "$log" | grep -q '^removed: .*\\QuorinFormat\\QuorinFormat\.exe$' \
    && echo "ok   [$case]: the log names the removed program" || fail "the program is not in the log"
  check_own_copy
}
# The running uninstaller cannot delete its own file: it moved it aside, and
# the copy is gone or the system deletes it at the next restart.
check_own_copy() {
  line=$(uninstall_log | grep '\\Uninstall\.exe' | head -n 1)
  case "$line" in
    *"(in use: moved to "*)
      aside=$(printf '%s' "$line" | sed 's/.*(in use: moved to \(.*\), deleted at the next restart)$/\1/')
      guid=${aside##*\\}
      copy=$(printf '%s' "$aside" | sed "s#^[Cc]:#$prefix/drive_c#" | tr '\\' /)
      if [ ! -f "$copy" ]; then
        echo "ok   [$case]: the uninstaller's moved copy is gone"
      elif pending_renames | grep -qi "$guid"; then
        echo "ok   [$case]: the uninstaller's moved copy $guid is deleted at the next restart"
        rm -f "$copy"
      else
        fail "the moved copy $aside is not scheduled for deletion"
      fi ;;
    "removed: "*) echo "ok   [$case]: the uninstaller's file was deleted" ;;
    *) fail "the log does not say what became of Uninstall.exe: '$line'" ;;
  esac
}

case_uninstall() {
  install_for_uninstall un
  check "QuietUninstallString" "\"\\\"$scratch_reg\\\\un\\\\QuorinFormat\\\\Uninstall.exe\\\" /silent\"" \
    "$(reg_value "$uninstall_key" QuietUninstallString)"
  # The program left open by the user holds its file until it is ended.
  "$wine_run" "$installed/QuorinFormat.exe" /stay >/dev/null 2>&1 &
  app=$!
  i=0
  while ! grep -q /stay "$installed/launched.txt" 2>/dev/null && [ $i -lt 100 ]; do
    i=$((i + 1)); sleep 0.2
  done
  kill -0 $app 2>/dev/null && echo "ok   [$case]: the program runs before the uninstall" \
    || fail "the program did not stay running"
  "$wine_run" "$installed/Uninstall.exe" /silent >"$work/run.log" 2>&1
  check "silent uninstall exit code" 0 "$?"
  i=0
  while kill -0 $app 2>/dev/null && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.2; done
  kill -0 $app 2>/dev/null && { fail "the uninstall did not end the program"; end_installers; } \
    || echo "ok   [$case]: the uninstall ended the program"
  # Ended before its files went: deleted outright, not moved aside in use.
  check_removed un
  "$wine_run" "$work/Uninstall-again.exe" /silent >"$work/run.log" 2>&1
  check "a second uninstall finds nothing and succeeds" 0 "$?"
  check "and says so in its log" "nothing to uninstall: no install is recorded" \
    "$(uninstall_log | sed -n 2p)"
  check "and touches nothing" user "$(cat "$installed/data/mine.txt" 2>/dev/null)"
  rm -f "$(temp_dir)/QuorinFormat-uninstall.log"
}

case_uninstall_tampered() {
  install_for_uninstall tam
  before=$(cd "$prefix/drive_c/Program Files" && find . | sort | md5sum)
  reg_import "[$uninstall_key]" '"InstallLocation"="C:\\Program Files"' \
    "[$app_key]" '"InstallLocation"="C:\\Program Files"'
  "$wine_run" "$installed/Uninstall.exe" /silent >"$work/run.log" 2>&1
  check "a tampered folder is refused" 3 "$?"
  check "the program files folder is untouched" "$before" \
    "$(cd "$prefix/drive_c/Program Files" && find . | sort | md5sum)"
  [ -f "$installed/QuorinFormat.exe" ] && echo "ok   [$case]: the installed files stay" \
    || fail "files were removed through a tampered folder"
  uninstall_log | grep -q '^nothing removed from C:\\Program Files: ' \
    && echo "ok   [$case]: the log says why nothing was removed" || fail "no refusal in the log"
}

case_uninstall_wizard() {
  install_for_uninstall click
  "$wine_run" "$installed/Uninstall.exe" >"$work/run.log" 2>&1 &
  pid=$!
  win=$(timeout 40 xdotool search --sync --onlyvisible --class '^Uninstall.exe$' 2>/dev/null | head -n 1)
  [ -n "$win" ] || { fail "no window appeared"; return; }
  sleep 0.7
  check "the confirm page" 1 "$(page)"
  click $SETUP
  check "the progress page" 2 "$(page)"
  wait_page 3 30 || fail "the done page did not come"
  shot "$work/uninstall-done.png"
  echo "     the done page: $work/uninstall-done.png"
  click $RUN
  wait_exit 20 || fail "the uninstaller did not end after the done button"
  check_removed click
}

# --- run -------------------------------------------------------------------

# Ends the installers, and the uninstallers and programs run from the scratch
# folder, that this script started (the Windows processes by their own
# command lines, then their wine-run wrappers).
end_installers() {
  for p in $(ps -eo pid=,args= | awk -v dir="$installers/" -v un="$scratch/" \
      'index($2, dir) == 1 || index($2, un) == 1 { print $1 }'); do
    kill "$p" 2>/dev/null
  done
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  sleep 1
}

python3 "$here/report-listener.py" listen "$port" "$work/reports" &
listener=$!
trap 'kill $listener 2>/dev/null; [ -n "$pid" ] && end_installers' EXIT
sleep 0.3
for case in $cases; do
  echo "--- $case"
  "case_$case"
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    fail "the installer is still running; ending it"
    end_installers
  fi
  pid=""
done
reset_state
echo "failures: $failures"
[ $failures -eq 0 ]
