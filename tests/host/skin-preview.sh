#!/bin/sh
# The layout preview tool: a skin folder and the same skin packed give the
# layout's size (or the size asked for), as PNGs that keep their alpha.
#   skin-preview.sh WINE_RUN SKIN_PREVIEW SKINPACK SKIN_DIR WORK_DIR
set -u
wine_run=$1 preview=$2 skinpack=$3 skin=$4 work=$5
mkdir -p "$work"
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
fail() { echo "$1"; exit 1; }
check() {  # PNG W H
  [ -f "$1" ] || fail "no PNG written: $1"
  got=$(identify -format '%w,%h,%[channels]' "$1")
  echo "$1: $got"
  [ "$got" = "$2,$3,srgba" ] || fail "expected $2,$3 with alpha"
}
rm -f "$work"/*.png "$work/skin.pak"
"$wine_run" "$preview" "$(win "$skin")" 'xml\main.xml' "$(win "$work/folder.png")" || fail "folder run failed"
check "$work/folder.png" 240 120
"$wine_run" "$skinpack" skin "$(win "$skin")" "$(win "$work/skin.pak")" >/dev/null || fail "packing failed"
"$wine_run" "$preview" "$(win "$work/skin.pak")" 'xml\main.xml' "$(win "$work/package.png")" || fail "package run failed"
check "$work/package.png" 240 120
"$wine_run" "$preview" "$(win "$skin")" 'xml\main.xml' "$(win "$work/sized.png")" --size 300x50 || fail "sized run failed"
check "$work/sized.png" 300 50
# A layout that is not in the skin is an error, not an empty picture.
if "$wine_run" "$preview" "$(win "$skin")" 'xml\missing.xml' "$(win "$work/missing.png")"; then
  fail "a missing layout was reported as success"
fi
[ ! -f "$work/missing.png" ] || fail "a missing layout wrote a PNG"
echo "ok"
