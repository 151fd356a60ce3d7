#!/bin/sh
# The author's walk-through of docs/README.md followed as written: its own
# command lines, read from the README, run in a scratch checkout whose home
# folder stands for the author's: the copy of the example, the build with
# icon, version information and uninstall script, the silent install and the
# silent uninstall of the installed Uninstall.exe. Each step's result is
# checked in the Wine prefix: files, registry values, shortcut and log. Then
# the uninstaller's refusal of a rewritten install folder (exit code 3).
#   walkthrough.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
readme="$ROOT/docs/README.md"
prefix="$build/wineprefix"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export WINEDEBUG=-all
# The scratch checkout would get a display of its own: keep this build's.
SKINSETUP_DISPLAY=${SKINSETUP_DISPLAY:-$("$build/wine-run" --print-display)}
export SKINSETUP_DISPLAY

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
check() {  # DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok   $1"; else fail "$1: expected '$2', got '$3'"; fi
}

# --- the README's command lines ---------------------------------------------

# The indented line starting with PATTERN and the lines it continues onto.
command_of() {
  awk -v pat="$1" '
    !on && index($0, "    " pat) == 1 { on = 1 }
    on { line = substr($0, 5); sub(/[ \t]+$/, "", line); print line; if (line !~ /\\$/) exit }
  ' "$readme"
}
copy_cmd=$(command_of "cp -r docs/examples/wizard ")
build_cmd=$(command_of "tools/make-installer --script ~/myproduct/")
install_cmd=$(command_of "tools/wine-run --debug-output build/myproduct-setup.exe /silent")
uninstall_cmd=$(command_of "tools/wine-run --debug-output 'C:\\MyProduct\\Uninstall.exe' /silent")
for c in copy_cmd build_cmd install_cmd uninstall_cmd; do
  eval "[ -n \"\$$c\" ]" || fail "the README has no $c line"
done
[ $failures -eq 0 ] || exit 1
for option in --uninstall-script --icon --product-name --version; do
  case "$build_cmd" in *"$option "*) ;; *) fail "step 5 does not pass $option" ;; esac
done

# A checkout of its own (the tools, the docs, this build) and a home folder:
# the commands run there exactly as an author types them.
checkout="$tmp/checkout"
mkdir -p "$checkout/build" "$tmp/home"
for d in tools docs resources; do ln -s "$ROOT/$d" "$checkout/$d"; done
ln -s "$build" "$checkout/build/x64"
in_checkout() {  # COMMAND: run by the shell as the README writes it
  (cd "$checkout" && HOME="$tmp/home" && export HOME && eval "$1")
}

# --- the prefix ---------------------------------------------------------------

install_dir="$prefix/drive_c/MyProduct"
app_key='HKEY_CURRENT_USER\SOFTWARE\ExampleApp'
uninstall_key='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ExampleApp'
wine_run="$build/wine-run" reg_scratch=$tmp
. "$ROOT/tests/support/registry.sh"

shortcuts() {  # the example's desktop shortcuts, one a line
  ls "$prefix"/drive_c/users/*/Desktop/'Example App.lnk' 2>/dev/null
}
temp_dir() {
  for d in "$prefix"/drive_c/users/*/AppData/Local/Temp "$prefix"/drive_c/users/*/Temp; do
    case "$d" in */Public/*) continue ;; esac
    [ -d "$d" ] && { echo "$d"; return 0; }
  done
}
reset() {
  reg_import "[-$app_key]" "[-$uninstall_key]"
  rm -rf "$install_dir" "$(temp_dir)/ExampleApp-uninstall.log"
  rm -f "$prefix"/drive_c/users/*/Desktop/'Example App.lnk'
}

# --- step 2: the copy ---------------------------------------------------------

reset
in_checkout "$copy_cmd" || fail "the copy failed: $copy_cmd"
for f in setup.lua uninstall.lua example.ico skin/xml/main.xml skin/xml/uninstall.xml payload; do
  [ -e "$tmp/home/myproduct/$f" ] || fail "the copy has no $f, which the walk-through names"
done
PACKER=""
. "$build/installer-link.sh"
"$PACKER" check-skin "$tmp/home/myproduct/skin" >"$tmp/check.out" 2>&1 ||
  { fail "the example skin does not check clean:"; sed 's/^/    /' "$tmp/check.out" >&2; }

# --- step 5: the build --------------------------------------------------------

in_checkout "$build_cmd" >"$tmp/build.out" 2>"$tmp/build.err" ||
  { fail "make-installer failed:"; sed 's/^/    /' "$tmp/build.err" >&2; exit 1; }
[ ! -s "$tmp/build.err" ] || { fail "make-installer printed warnings:"; sed 's/^/    /' "$tmp/build.err" >&2; }
setup="$checkout/build/myproduct-setup.exe"
[ -f "$setup" ] && echo "ok   step 5 wrote build/myproduct-setup.exe" || fail "no build/myproduct-setup.exe"
# The branding of step 5 (read back in full by the packing tests).
branded() { strings -e l "$1" | grep -qx 'My Product'; }
branded "$setup" && echo "ok   the installer carries the product name" || fail "no product name in the installer"

# --- step 5: the silent install -----------------------------------------------

in_checkout "$install_cmd" >"$tmp/install.out" 2>&1
check "the silent install's exit code" 0 "$?"
# Every line the README shows for this run appears.
awk '/silent run of the/ { on = 1 } on && /^and the silent uninstall/ { exit }
     on && /^    debug: / && !/^    debug: \.\.\.$/ { print substr($0, 5) }' "$readme" >"$tmp/promised"
[ -s "$tmp/promised" ] || fail "the README shows no output of the silent run"
while IFS= read -r line; do
  grep -qxF "$line" "$tmp/install.out" || fail "the silent run did not print '$line' as the README says"
done <"$tmp/promised"
check "the installed files (r_x64 without its folder level)" \
  "Uninstall.exe arch.txt install.lst readme.txt" \
  "$(cd "$install_dir" 2>/dev/null && find . -mindepth 1 | sed 's#^\./##' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
branded "$install_dir/Uninstall.exe" && echo "ok   Uninstall.exe carries the product name" ||
  fail "no product name in Uninstall.exe"
check "arch.txt is the 64-bit one" "64-bit part" "$(tr -d '\r' <"$install_dir/arch.txt" 2>/dev/null)"
check "install.lst" "Uninstall.exe arch.txt readme.txt" \
  "$(tr -d '\r' <"$install_dir/install.lst" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
check "HKCU InstallLocation" '"C:\\MyProduct"' "$(reg_value "$app_key" InstallLocation)"
check "DisplayName" '"Example App"' "$(reg_value "$uninstall_key" DisplayName)"
check "UninstallString" '"\"C:\\MyProduct\\Uninstall.exe\""' "$(reg_value "$uninstall_key" UninstallString)"
check "QuietUninstallString" '"\"C:\\MyProduct\\Uninstall.exe\" /silent"' \
  "$(reg_value "$uninstall_key" QuietUninstallString)"
[ -n "$(shortcuts)" ] && echo "ok   the desktop shortcut" || fail "no desktop shortcut 'Example App'"

# --- the silent uninstall ---------------------------------------------------

in_checkout "$uninstall_cmd" >"$tmp/uninstall.out" 2>&1
check "the silent uninstall's exit code" 0 "$?"
check "the install folder is gone" "" "$(ls -A "$install_dir" 2>/dev/null; [ -d "$install_dir" ] && echo folder)"
check "the application key" "" "$(reg_dump "$app_key")"
check "the uninstall entry" "" "$(reg_dump "$uninstall_key")"
check "the desktop shortcut" "" "$(shortcuts)"
log="$(temp_dir)/ExampleApp-uninstall.log"
if [ -f "$log" ]; then
  # The three installed files, the list and the folder.
  grep -q '^removed 5 files and folders' "$log" && echo "ok   the log counts what was removed" ||
    { fail "the log does not count 5 removed files and folders:"; sed 's/^/    /' "$log" >&2; }
  grep -q '^removed: C:\\MyProduct\\readme.txt' "$log" && echo "ok   the log names the removed files" ||
    fail "the log does not name readme.txt"
  # The running uninstaller moved its own file aside, to be deleted at the
  # next restart, which a test prefix never has: the copy goes here.
  aside=$(sed -n 's/.*(in use: moved to \(.*\), deleted at the next restart).*/\1/p' "$log" | tr -d '\r')
  [ -z "$aside" ] || rm -f "$(printf '%s' "$aside" | sed "s#^[Cc]:#$prefix/drive_c#" | tr '\\' /)"
  grep -q '^debug: removed 5 files and folders' "$tmp/uninstall.out" ||
    fail "--debug-output does not show the uninstaller's lines"
else
  fail "no uninstall log at $log"
fi
reset

# An install folder rewritten to a folder the install did not make: the
# uninstaller touches nothing there and says so with its exit code.
in_checkout "$install_cmd" >"$tmp/install.out" 2>&1
reg_import "[$uninstall_key]" '"InstallLocation"="C:\\Program Files"'
before=$(cd "$prefix/drive_c/Program Files" && find . | LC_ALL=C sort | md5sum)
in_checkout "$uninstall_cmd" >"$tmp/uninstall.out" 2>&1
check "a refused folder's exit code" 3 "$?"
check "the program files folder is untouched" "$before" \
  "$(cd "$prefix/drive_c/Program Files" && find . | LC_ALL=C sort | md5sum)"
[ -f "$install_dir/readme.txt" ] && echo "ok   the installed files stay" || fail "files were removed"
reset

[ $failures -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "walk-through: copy, build, silent install and silent uninstall as the README writes them"
