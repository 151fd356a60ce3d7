#!/bin/sh
# Archives written by a real 7z peer (Debian's 7zz) over one small tree, one
# per coder the installer must read: LZMA, LZMA2, BCJ + LZMA and copy; and
# a payload folder for installers built by the packer.
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
: >"$out/empty.7z"

# The folder the packer turns into installers' payloads: architecture
# folders, an empty file, an empty folder, enough text for several percents.
mkdir -p "$out/payload/app" "$out/payload/data" "$out/payload/r_x64/bin" "$out/payload/r_x86/bin"
cp docs/readme.txt "$out/payload/app/readme.txt"
cp bin/noise.bin "$out/payload/app/noise.bin"
: >"$out/payload/app/empty.txt"
printf 'x64 tool' >"$out/payload/r_x64/bin/tool.dll"
printf 'x86 tool' >"$out/payload/r_x86/bin/tool.dll"
touch "$out/stamp"

# Many small files and one large one in many small LZMA blocks: the decoding
# runs ahead of the writes across block boundaries.
mkdir -p "$out/many/docs" "$out/many/data"
awk 'BEGIN { srand(11); for (i = 0; i < 300; i++) { f = sprintf("'"$out"'/many/docs/note%03d.txt", i);
  n = int(rand() * 3000); for (j = 0; j < n; j += 40) printf "note %d line %d %d\n", i, j, rand() * 1000 > f;
  close(f) } }' </dev/null
: >"$out/many/data/empty.bin"
awk 'BEGIN { srand(5); for (i = 0; i < 60000; i++) printf "%d,%d,%d\n", i, rand() * 100000, rand() * 7 }' \
  </dev/null >"$out/many/data/large.csv"
(cd "$out/many" && z -m0=LZMA -mx=1 -ms=64k ../many.7z .)
