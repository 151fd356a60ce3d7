#!/bin/sh
# Archives written by a real 7z peer (Debian's 7zz) over one small tree, one
# per coder the installer must read: LZMA, LZMA2, BCJ + LZMA and copy.
#   make-fixtures.sh OUT_DIR
set -eu
out=$1
rm -rf "$out"
mkdir -p "$out/tree"
cd "$out/tree"
mkdir -p docs/sub bin emptydir
awk 'BEGIN { for (i = 0; i < 6000; i++) printf "line %d of the reference text, plain and compressible\n", i }' \
  >docs/readme.txt
# Incompressible but reproducible bytes.
awk 'BEGIN { srand(7); for (i = 0; i < 40000; i++) printf "%c%c%c%c%c%c", \
  rand()*256, rand()*256, rand()*256, rand()*256, rand()*256, rand()*256 }' </dev/null \
  | LC_ALL=C head -c 200000 >bin/noise.bin
printf 'tool' >bin/tool.dll
: >docs/sub/empty.txt
z() { 7zz a -t7z -bd -bso0 -bsp0 "$@"; }
z -m0=LZMA -mx=5 ../lzma.7z .
z -m0=LZMA -mx=5 -ms=off ../lzma-nonsolid.7z .
z -m0=LZMA2 -mx=5 ../lzma2.7z .
z -m0=BCJ -m1=LZMA -mx=5 ../bcj.7z .
z -m0=Copy -mhc=off ../copy.7z .
touch "$out/stamp"
