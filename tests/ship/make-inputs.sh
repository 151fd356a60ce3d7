#!/bin/sh
# Inputs of the shipped-wizard tests, made at build time:
#   payload/        the demo program as QuorinFormat.exe, with enough data
#                   that the progress bar moves in steps
#   damaged.7z      the same tree as a 7z archive whose packed data is broken
#   wizard.lua      the shipped script reporting to a loopback port, with
#                   the test probes appended
#   silent.lua      the same from a build whose channel is 1003
#   make-inputs.sh SOURCE_DIR BUILD_DIR OUT_DIR PORT
set -eu
src=$1 build=$2 out=$3 port=$4
mkdir -p "$out"
sh "$src/resources/demo/make-payload.sh" "$build" "$out/payload" QuorinFormat.exe
# Compressible, reproducible text: about 3 MB, so the extraction reports
# many percentages.
awk 'BEGIN { srand(3); for (i = 0; i < 60000; i++) printf "record %06d %08x %s\n", i, int(rand() * 4294967295), "quorin sample data for the progress bar" }' \
  </dev/null >"$out/payload/data/samples.txt"

rm -f "$out/damaged.7z"
(cd "$out/payload" && 7zz a -t7z -m0=LZMA2 -mx=5 -bd -bso0 -bsp0 "$out/damaged.7z" .)
# Zero 4 KB of packed data just after the 32-byte start header.
dd if=/dev/zero of="$out/damaged.7z" bs=1 seek=4096 count=4096 conv=notrunc 2>/dev/null

# Only the report destination changes; everything else is the shipped script.
sed -e 's/^local g_udpsvr = .*/local g_udpsvr = "127.0.0.1"/' \
    -e "s/^local g_IntPort = .*/local g_IntPort = $port/" \
    "$src/resources/setup.lua" >"$out/wizard.lua.tmp"
grep -q '"127.0.0.1"' "$out/wizard.lua.tmp" || { echo "make-inputs: no report server line" >&2; exit 1; }
cat "$out/wizard.lua.tmp" "$src/tests/ship/probes.lua" >"$out/wizard.lua"
sed -e 's/^local g_unionid = 1001$/local g_unionid = 1003/' "$out/wizard.lua" >"$out/silent.lua"
grep -q '^local g_unionid = 1003$' "$out/silent.lua" || { echo "make-inputs: no channel line" >&2; exit 1; }
rm -f "$out/wizard.lua.tmp"
touch "$out/stamp"
