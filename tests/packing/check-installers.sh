#!/bin/sh
# Builds installers with tools/make-installer's default path (the packer
# writes into the prebuilt host) and checks them from the outside.
#   check-installers.sh BUILD_DIR TRIPLE PAYLOAD_DIR
set -eu
build=$1 triple=$2 payload=$3
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
make_installer() { "$ROOT/tools/make-installer" --build "$build" --script "$ROOT/resources/demo.lua" \
  --skin "$tmp/skin" --payload "$payload" "$@"; }

mkdir -p "$tmp/skin/xml" "$tmp/skin/img"
printf '<UIWnd/>\n' >"$tmp/skin/xml/main.xml"
printf 'not really a png' >"$tmp/skin/img/bg.png"

# Equal inputs, equal bytes.
make_installer -o "$tmp/a.exe" >/dev/null
make_installer -o "$tmp/b.exe" >/dev/null
cmp "$tmp/a.exe" "$tmp/b.exe" || fail "two builds from the same inputs differ"

# The toolchain reads the headers and the resources; the manifest stayed.
"$triple-objdump" -p "$tmp/a.exe" >"$tmp/headers.txt" || fail "objdump cannot read the installer"
grep -q 'Time/Date.*1970' "$tmp/headers.txt" || fail "the header carries a time stamp"
"$triple-windres" -i "$tmp/a.exe" -O rc >"$tmp/resources.rc" || fail "windres cannot read it"
for item in 'Type: "LUA"' 'Type: "PAK"' 'Name: 129.' 'Name: 130.' 'Name: 131.' 'RT_MANIFEST'; do
  grep -q "$item" "$tmp/resources.rc" || fail "windres does not list $item"
done
7zz l "$tmp/a.exe" >"$tmp/list.txt" || fail "7zz cannot list it"
for item in .rsrc/LUA/129 .rsrc/PAK/130 .rsrc/PAK/131 .rsrc/MANIFEST/1; do
  grep -q " $item\$" "$tmp/list.txt" || fail "7zz does not list $item"
done
sh "$ROOT/tests/check-imports.sh" "$triple-objdump" "$tmp/a.exe" >/dev/null

# Signed with a throwaway certificate; the signature verifies and the
# signed installer still runs and finds its script and payload.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tmp/key.pem" -out "$tmp/cert.pem" \
  -days 2 -subj "/CN=skinsetup test signer" >/dev/null 2>&1 || fail "openssl cannot make a certificate"
make_installer --cert "$tmp/cert.pem" --key "$tmp/key.pem" -o "$tmp/signed.exe" >/dev/null
osslsigncode verify -CAfile "$tmp/cert.pem" -in "$tmp/signed.exe" >"$tmp/verify.txt" 2>&1 ||
  { cat "$tmp/verify.txt"; fail "the signature does not verify"; }
grep -q "Signature verification: ok" "$tmp/verify.txt" || { cat "$tmp/verify.txt"; fail "no verified signature"; }
"$build/wine-run" "$tmp/signed.exe" /demo >"$tmp/run.txt" 2>&1 || true
grep -q "result *0 (installed)" "$tmp/run.txt" || { cat "$tmp/run.txt"; fail "the signed installer did not install"; }
grep -q "Everything is Ok" "$tmp/run.txt" || { cat "$tmp/run.txt"; fail "no extraction log"; }
echo "installers: reproducible, readable, signed and running"
