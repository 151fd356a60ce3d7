#!/bin/sh
# Lays out the demo payload: the demo program, a few folders, an empty file,
# an empty folder, and one component in a 32-bit and a 64-bit build.
#   make-payload.sh BUILD_DIR OUT_DIR [PROGRAM_NAME]
# With PROGRAM_NAME the program sits at the top as that name (the wizard's
# application, QuorinFormat.exe); without it, it is app\hello.exe.
set -eu
build=$1 out=$2 program=${3:-}
rm -rf "$out"
mkdir -p "$out/docs" "$out/data/cache" "$out/r_x86/bin" "$out/r_x64/bin"
if [ -n "$program" ]; then
  cp "$build/demo/hello.exe" "$out/$program"
else
  mkdir -p "$out/app"
  cp "$build/demo/hello.exe" "$out/app/hello.exe"
fi
printf 'skinsetup demo payload\r\nInstalled by the demo installer.\r\n' >"$out/docs/readme.txt"
: >"$out/docs/empty.txt"
printf 'component built for 32-bit Windows\r\n' >"$out/r_x86/bin/component.txt"
printf 'component built for 64-bit Windows\r\n' >"$out/r_x64/bin/component.txt"
