#!/bin/sh
# tools/make-installer as an author uses it: --help and bad options, a script
# that does not compile, a skin with mistakes, empty folders, and where the
# installer goes without -o.
#   check-make-installer.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

# run NAME EXPECTED_STATUS ARGS...: runs make-installer, output in $tmp/NAME.out
# and .err; a wrong status is a failure.
run() {
  name=$1 expected=$2
  shift 2
  set +e
  "$ROOT/tools/make-installer" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err"
  status=$?
  set -e
  if [ "$expected" = nonzero ]; then
    [ $status -ne 0 ] || fail "$name: exit status 0, expected a failure"
  elif [ $status -ne "$expected" ]; then
    fail "$name: exit status $status, expected $expected"
  fi
  if [ $status -ne 0 ] && [ "$expected" = 0 ]; then sed 's/^/    /' "$tmp/$name.err" >&2; fi
  return 0
}
# has NAME out|err PATTERN: the output holds a line matching PATTERN (grep -E).
has() { grep -Eq -- "$3" "$tmp/$1.$2" || { fail "$1: no '$3' in its std$2:"; sed 's/^/    /' "$tmp/$1.$2" >&2; }; }
lacks() { ! grep -Eq -- "$3" "$tmp/$1.$2" || { fail "$1: '$3' in its std$2:"; sed 's/^/    /' "$tmp/$1.$2" >&2; }; }
absent() { [ ! -e "$1" ] || fail "$1 was written"; }

good_script="$tmp/good.lua"
printf 'function OnRunSetup()\n  lua_Print("hello")\nend\n' >"$good_script"
mkdir -p "$tmp/payload/app" "$tmp/emptypayload" "$tmp/emptyskin"
printf 'data\n' >"$tmp/payload/app/file.txt"
base="--build $build --no-uninstaller"

# Usage: --help and -h on stdout with status 0; an unknown option, a missing
# value and a stray argument get one line of complaint and the usage, status 2.
for help in --help -h; do
  run "help$help" 0 "$help"
  has "help$help" out '^usage: tools/make-installer'
  has "help$help" out '^  --skin DIR'
  has "help$help" out 'build/installer/setup.exe'
done
run unknown 2 --scirpt x.lua
has unknown err "^make-installer: unknown option '--scirpt'$"
has unknown err '^usage: tools/make-installer'
run novalue 2 --script
has novalue err '^make-installer: --script needs a value$'
has novalue err '^usage: tools/make-installer'
run stray 2 setup.exe
has stray err "^make-installer: unexpected argument 'setup.exe'"

# A script that does not compile stops the build at its line.
printf 'function OnRunSetup()\n  local x = \nend\n' >"$tmp/broken.lua"
run syntax 1 $base --script "$tmp/broken.lua" --no-skin -o "$tmp/syntax.exe"
has syntax err "^error: $tmp/broken.lua:3: unexpected symbol near 'end'$"
absent "$tmp/syntax.exe"
# ... unless the checks are turned off (installers that test the host itself).
run syntax_unchecked 0 $base --script "$tmp/broken.lua" --no-skin --no-check -o "$tmp/unchecked.exe"
[ -f "$tmp/unchecked.exe" ] || fail "--no-check wrote no installer"

# A skin with an unknown tag and a missing image: warnings, and the installer.
mkdir -p "$tmp/skin/xml" "$tmp/skin/img"
printf 'png' >"$tmp/skin/img/bg.png"
cat >"$tmp/skin/xml/main.xml" <<'XML'
<UIWnd width="400" height="300" back="img:file=img\bg.png">
  <UIPanel id="typo"/>
  <UIButton id="ok" btn="img\ok.png"/>
</UIWnd>
XML
run warnings 0 $base --script "$good_script" --skin "$tmp/skin" -o "$tmp/warned.exe"
has warnings err "^warning: $tmp/skin/xml/main.xml:2: unknown tag <UIPanel>"
has warnings err "^warning: $tmp/skin/xml/main.xml:3: btn names the image 'img\\\\ok.png', which the skin does not contain$"
lacks warnings err 'bg.png'
has warnings out "^make-installer: wrote $tmp/warned.exe$"
[ -f "$tmp/warned.exe" ] || fail "the skin with warnings gave no installer"

# A layout that is not well-formed stops the build with its file and line.
printf '<UIWnd>\n  <UILabel txt="a">\n</UIWnd>\n' >"$tmp/skin/xml/broken.xml"
run badxml 1 $base --script "$good_script" --skin "$tmp/skin" -o "$tmp/badxml.exe"
has badxml err "^error: $tmp/skin/xml/broken.xml:2: not well-formed.*<UILabel> is never closed"
absent "$tmp/badxml.exe"

# Empty folders: one clear line each, nothing written.
run emptypayload 1 $base --script "$good_script" --no-skin --payload "$tmp/emptypayload" -o "$tmp/ep.exe"
has emptypayload err "^make-installer: the payload folder '$tmp/emptypayload' is empty"
[ "$(wc -l <"$tmp/emptypayload.err")" -eq 1 ] || fail "emptypayload: more than one line of error"
absent "$tmp/ep.exe"
run emptyskin 1 $base --script "$good_script" --skin "$tmp/emptyskin" -o "$tmp/es.exe"
has emptyskin err "^make-installer: the skin folder '$tmp/emptyskin' is empty"
[ "$(wc -l <"$tmp/emptyskin.err")" -eq 1 ] || fail "emptyskin: more than one line of error"
absent "$tmp/es.exe"

# Without -o the installer goes to build/installer/ of the checkout the tool
# belongs to, never into the checkout's root or the current folder (a copy of
# the tool in a scratch checkout, so the real one is not touched).
mkdir -p "$tmp/checkout/tools" "$tmp/cwd"
cp "$ROOT/tools/make-installer" "$tmp/checkout/tools/"
(cd "$tmp/cwd" && "$tmp/checkout/tools/make-installer" $base --script "$good_script" --no-skin \
  --payload "$tmp/payload" >"$tmp/default.out" 2>"$tmp/default.err") ||
  { fail "the default output failed"; cat "$tmp/default.err" >&2; }
has default out "^make-installer: wrote $tmp/checkout/build/installer/setup.exe$"
[ -f "$tmp/checkout/build/installer/setup.exe" ] || fail "no installer in build/installer/"
[ -z "$(ls "$tmp/cwd")" ] || fail "something was written into the current folder"
absent "$tmp/checkout/setup.exe"

[ $failures -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "make-installer: usage, script and skin checks, empty folders and the default output as documented"
