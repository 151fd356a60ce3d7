#!/bin/sh
# `make demo`: the shipped installer over the sample payload, driven through
# its three pages with real clicks on the X display. Prints what the script
# printed, the registry values, the shortcut and the installed files, and
# saves a screenshot of each page.
#   wizard-demo.sh BUILD_DIR OUT_DIR
# The installer is the shipped script and skin; only its report goes to a
# listener on this machine instead of the configured server, and demo hooks
# log the script's prints and pause the bar once for the screenshot.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
port=47199
wine_run="$ROOT/tools/wine-run --build $build"
export DISPLAY="$($wine_run --print-display)"  # where wine-run shows the installer
prefix="$build/wineprefix"
rm -rf "$out/payload" "$out/run"
mkdir -p "$out/run"
export SKINSETUP_DEMO="Z:$(printf '%s' "$out/run" | tr / '\\')"

sh "$ROOT/resources/demo/make-payload.sh" "$build" "$out/payload" QuorinFormat.exe
awk 'BEGIN { srand(3); for (i = 0; i < 60000; i++) printf "record %06d %08x sample data\n", i, int(rand() * 4294967295) }' \
  </dev/null >"$out/payload/data/samples.txt"
sed -e 's/^local g_udpsvr = .*/local g_udpsvr = "127.0.0.1"/' \
    -e "s/^local g_IntPort = .*/local g_IntPort = $port/" \
    "$ROOT/resources/setup.lua" >"$out/run/setup.lua"
cat "$ROOT/resources/demo/wizard-hooks.lua" >>"$out/run/setup.lua"
"$ROOT/tools/make-installer" --build "$build" --script "$out/run/setup.lua" \
  --payload "$out/payload" -o "$out/QuorinFormat_setup.exe"

# A clean start: no earlier install, no values, no shortcut.
install="$prefix/drive_c/Program Files/QuorinFormat"
rm -rf "$install"
for d in "$prefix"/drive_c/users/*/Desktop; do rm -f "$d/Quorin格式转换.lnk"; done
$wine_run reg delete 'HKCU\SOFTWARE\QuorinFormat' /f >/dev/null 2>&1 || true
$wine_run reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorinFormat' /f \
  >/dev/null 2>&1 || true

python3 -c '
import socket, struct, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", int(sys.argv[1])))
s.settimeout(120)
d, _ = s.recvfrom(2048)
app, channel = struct.unpack_from("<ii", d, 20)
print("report: %d bytes, app %d, channel %d, version %s, machine %s, date %d, update %d" % (
    len(d), app, channel, d[28:60].split(b"\0")[0].decode(), d[60:92].decode(),
    struct.unpack_from("<i", d, 93)[0], d[97]))
' "$port" >"$out/run/report.txt" 2>/dev/null &
listener=$!

echo "== starting the installer"
$wine_run "$out/QuorinFormat_setup.exe" >/dev/null 2>&1 &
pid=$!
trap 'kill $listener 2>/dev/null || true' EXIT
win=$(timeout 60 xdotool search --sync --onlyvisible --class '^QuorinFormat_setup.exe$' | head -n 1)
[ -n "$win" ] || { echo "demo: no window appeared" >&2; exit 1; }
sleep 1
geometry() { eval "$(xdotool getwindowgeometry --shell "$win")"; }
shot() { geometry; import -window root -crop "650x450+$X+$Y" +repage "$out/$1"; echo "   screenshot $out/$1"; }
click() { geometry; xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.4; xdotool click 1; }
wait_for() {  # FILE SECONDS
  i=0
  while [ ! -e "$1" ]; do i=$((i + 1)); [ $i -le $(($2 * 10)) ] || return 1; sleep 0.1; done
}
green_tick() {  # page 3 shows a green tick at (320, 113)
  geometry
  import -window root -crop "1x1+$((X + 320))+$((Y + 113))" -depth 8 txt:- 2>/dev/null \
    | awk -F'[(),]' 'NR == 2 { exit !($4 > 150 && $3 < 100) }'
}

echo "== page 1: the folder, the licence box, the shortcut and autostart boxes"
shot page1.png
echo "== clicking 立即安装 (install)"
click 325 318
wait_for "$out/run/bar-40" 60 || { echo "demo: the progress page did not come" >&2; exit 1; }
echo "== page 2: the bar moves while the payload is extracted"
shot page2.png
i=0
until green_tick; do i=$((i + 1)); [ $i -le 120 ] || { echo "demo: no finish page" >&2; exit 1; }; sleep 0.5; done
sleep 0.5
echo "== page 3: installed"
shot page3.png
echo "== clicking 立即体验 (start the application)"
click 325 344
wait $pid || true
wait_for "$install/launched.txt" 20 || echo "demo: the program left no trace" >&2
wait $listener 2>/dev/null || true

echo
echo "== what the script printed"
sed 's/^/   /' "$out/run/script.log"
echo
echo "== registry values (64-bit view)"
# regedit's export keeps the Chinese texts that reg's console output loses.
for key in 'HKEY_CURRENT_USER\SOFTWARE\QuorinFormat' \
           'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorinFormat'; do
  rm -f "$out/run/key.reg"
  $wine_run regedit /E "Z:$(printf '%s' "$out/run/key.reg" | tr / '\\')" "$key" >/dev/null 2>&1 || true
  [ -f "$out/run/key.reg" ] || continue
  iconv -f UTF-16LE -t UTF-8 "$out/run/key.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' \
    | grep -v '^Windows Registry\|^$' | sed 's/^/   /'
done
echo
echo "== shortcuts"
for d in "$prefix"/drive_c/users/*/Desktop; do
  [ -f "$d/Quorin格式转换.lnk" ] && echo "   desktop: C:${d#"$prefix/drive_c"}/Quorin格式转换.lnk" | tr / '\\'
done
echo
echo "== the installed program ran with: $(tr -d '\r' <"$install/launched.txt" 2>/dev/null)"
echo "== installed files in C:\\Program Files\\QuorinFormat"
(cd "$install" && find . -type f | sort | sed 's|^\./|   |' | tr / '\\')
echo
echo "== $(cat "$out/run/report.txt" 2>/dev/null || echo 'no report arrived')"
