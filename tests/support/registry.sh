# Registry access for the scripted tests, through regedit under Wine.
# Sourced; the caller sets $wine_run (the build's wine-run) and $reg_scratch
# (a folder for the .reg files).

# Imports registry lines (UTF-8 here; regedit reads non-ASCII only from UTF-16).
reg_import() {
  { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; printf '%s\r\n' "$@"; } \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\377\376'; cat; } >"$reg_scratch/in.reg"
  "$wine_run" regedit /S "Z:$(printf '%s' "$reg_scratch/in.reg" | tr / '\\')" >/dev/null 2>&1
}
# Prints one exported key as UTF-8 lines "name"=value (empty when absent).
reg_dump() {
  rm -f "$reg_scratch/out.reg"
  "$wine_run" regedit /E "Z:$(printf '%s' "$reg_scratch/out.reg" | tr / '\\')" "$1" >/dev/null 2>&1
  [ -f "$reg_scratch/out.reg" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$reg_scratch/out.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' \
    | grep '^"' || true
}
reg_value() {  # KEY NAME
  reg_dump "$1" | grep "^\"$2\"=" | sed "s/^\"$2\"=//"
}
