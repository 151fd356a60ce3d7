#!/bin/sh
# Wizard figures (part of `make bench`; prints figures, never fails on time):
#  - the shipped wizard installing the ~100 MB reference payload, timed from
#    the click on the install button to the finish page, against a silent
#    install of the same payload by the same script;
#  - the time from process start to the first window on the screen.
#   wizard-bench.sh BUILD_DIR NATIVE_DIR WORK_DIR
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd) native=$(cd "$2" && pwd)
mkdir -p "$3"
work=$(cd "$3" && pwd)
wine_run="$ROOT/tools/wine-run --build $build"
export DISPLAY="$($wine_run --print-display)"  # where wine-run shows the installer
prefix="$build/wineprefix"
now() { date +%s.%N; }
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

payload="$work/payload"
archive="$work/payload.7z"
if [ ! -f "$archive" ]; then
  echo "wizard-bench: reference payload and archive in $work (packing takes a while)"
  python3 -c "import sys; sys.dont_write_bytecode = True; sys.path.insert(0, '$ROOT/tools/skinpack/bench'); import make_payload; make_payload.make('$payload')"
  "$native/tools/skinpack" payload --plain "$payload" "$archive" >/dev/null
fi
# The shipped script, reporting to this machine (nothing listens).
sed -e 's/^local g_udpsvr = .*/local g_udpsvr = "127.0.0.1"/' -e 's/^local g_IntPort = .*/local g_IntPort = 47198/' \
  "$ROOT/resources/setup.lua" >"$work/wizard.lua"
sed -e 's/^local g_unionid = 1001$/local g_unionid = 1003/' "$work/wizard.lua" >"$work/silent.lua"
"$ROOT/tools/make-installer" --build "$build" --script "$work/wizard.lua" --payload-archive "$archive" \
  -o "$work/bench_wizard.exe" >/dev/null
"$ROOT/tools/make-installer" --build "$build" --script "$work/silent.lua" --payload-archive "$archive" \
  -o "$work/bench_silent.exe" >/dev/null

target_win='C:\skinsetup-bench\QuorinFormat'
target="$prefix/drive_c/skinsetup-bench"
clean() {
  rm -rf "$target"
  $wine_run reg delete 'HKCU\SOFTWARE\QuorinFormat' /f >/dev/null 2>&1 || true
  $wine_run reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorinFormat' /f >/dev/null 2>&1 || true
  $wine_run reg add 'HKCU\SOFTWARE\QuorinFormat' /v InstallLocation /d "$target_win" /f >/dev/null 2>&1
}
green_tick() {
  import -window root -crop "1x1+$((X + 320))+$((Y + 113))" -depth 8 txt:- 2>/dev/null \
    | awk -F'[(),]' 'NR == 2 { exit !($4 > 150 && $3 < 100) }'
}

echo "wizard-bench: a trivial program, for Wine's own start-up"
$wine_run "$build/demo/hello.exe" >/dev/null 2>&1 || true
t0=$(now)
$wine_run "$build/demo/hello.exe" >/dev/null 2>&1 || true
trivial=$(secs "$t0" "$(now)")

echo "wizard-bench: silent install"
clean
t0=$(now)
$wine_run "$work/bench_silent.exe" /silent "/dir=$target_win" >/dev/null 2>&1 || true
silent=$(secs "$t0" "$(now)")

echo "wizard-bench: wizard install"
clean
t0=$(now)
$wine_run "$work/bench_wizard.exe" >/dev/null 2>&1 &
pid=$!
win=""
while [ -z "$win" ]; do
  win=$(xdotool search --onlyvisible --class '^bench_wizard.exe$' 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] || sleep 0.02
done
first_window=$(secs "$t0" "$(now)")
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 325)) $((Y + 318))
sleep 0.3
t1=$(now)
xdotool click 1
until green_tick; do sleep 0.05; done
wizard=$(secs "$t1" "$(now)")
xdotool mousemove $((X + 626)) $((Y + 20)) click 1
wait $pid || true
clean
rm -rf "$target"

echo
echo "Shipped wizard, reference payload ($(du -sm "$payload" 2>/dev/null | cut -f1) MB unpacked):"
echo "  wizard, install click to finish page   $wizard s"
echo "  silent install, whole process           $silent s"
echo "  silent, less Wine's start-up ($trivial s)  $(secs "$trivial" "$silent") s"
echo "  ratio wizard/silent                     $(awk -v a="$wizard" -v b="$silent" -v t="$trivial" 'BEGIN { printf "%.3f (%.3f without start-up)", a / b, a / (b - t) }')"
echo "  process start to first window          $first_window s (less Wine's start-up: $(secs "$trivial" "$first_window") s)"
