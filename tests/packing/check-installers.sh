#!/bin/sh
# Builds installers with tools/make-installer's default path (the packer
# writes into the prebuilt host) and checks them from the outside: plain,
# signed and branded (an icon and version information).
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

# Branded: the icon and the version information are ordinary resources that
# the toolchain reads and the system's own readers find, equal for equal
# inputs; the branded installer still runs. Uninstall.exe carries them too.
python3 "$ROOT/tests/packing/make-icon.py" "$tmp/app.ico"
packer=$(. "$build/installer-link.sh" && echo "$PACKER")
brand() { make_installer --icon "$tmp/app.ico" --product-name "Quorin Format" \
  --company "Quorin Software Ltd." --description "Quorin Format Setup" --version 2.4.1.7 \
  --copyright "© 2026 Quorin Software" "$@"; }
brand -o "$tmp/brand.exe" >/dev/null
brand -o "$tmp/brand2.exe" >/dev/null
cmp "$tmp/brand.exe" "$tmp/brand2.exe" || fail "two branded builds from the same inputs differ"
"$triple-windres" -i "$tmp/brand.exe" -O rc >"$tmp/brand.rc" || fail "windres cannot read the branded installer"
for item in '1 VERSIONINFO' 'FILEVERSION 2, 4, 1, 7' 'PRODUCTVERSION 2, 4, 1, 7' \
  'VALUE "ProductName", "Quorin Format"' 'VALUE "CompanyName", "Quorin Software Ltd."' \
  'VALUE "FileDescription", "Quorin Format Setup"' 'VALUE "FileVersion", "2.4.1.7"' \
  'VALUE "Translation", 0x409, 1200' '1 14 /* RT_GROUP_ICON */' '3 3 /* RT_ICON */' \
  'RT_MANIFEST' 'Type: "LUA"' 'Name: 131.'; do
  grep -qF "$item" "$tmp/brand.rc" || fail "windres does not show $item"
done
"$triple-objdump" -p "$tmp/brand.exe" >"$tmp/brand-headers.txt" || fail "objdump cannot read the branded installer"
# The resource types: icon image, group icon, version information, manifest.
for type in 000003 00000e 000010 000018; do
  grep -q "^[0-9a-f]*   Entry: ID: 0x$type," "$tmp/brand-headers.txt" ||
    fail "objdump lists no resource type 0x$type"
done
"$build/wine-run" "$build/test-helpers/brand_probe.exe" "Z:$tmp/brand.exe" >"$tmp/probe.txt" 2>&1 ||
  { cat "$tmp/probe.txt"; fail "the system does not read the branding"; }
for line in 'version 2.4.1.7' 'ProductName: Quorin Format' 'CompanyName: Quorin Software Ltd.' \
  'FileDescription: Quorin Format Setup' 'ProductVersion: 2.4.1.7' \
  'LegalCopyright: © 2026 Quorin Software' 'icon centre 2060D0 corner F09020'; do
  grep -qF "$line" "$tmp/probe.txt" || { cat "$tmp/probe.txt"; fail "the system does not read '$line'"; }
done
7zz e -so "$tmp/brand.exe" .rsrc/PAK/131 >"$tmp/brand-payload.pak" 2>/dev/null &&
  "$packer" mask "$tmp/brand-payload.pak" "$tmp/brand-payload.7z" >/dev/null 2>&1 &&
  7zz e -so "$tmp/brand-payload.7z" Uninstall.exe >"$tmp/Uninstall.exe" 2>/dev/null ||
  fail "no Uninstall.exe in the branded installer's payload"
"$triple-windres" -i "$tmp/Uninstall.exe" -O rc >"$tmp/uninstall.rc" || fail "windres cannot read Uninstall.exe"
for item in 'VALUE "ProductName", "Quorin Format"' 'FILEVERSION 2, 4, 1, 7' 'RT_GROUP_ICON'; do
  grep -qF "$item" "$tmp/uninstall.rc" || fail "Uninstall.exe lacks $item"
done
! grep -qF 'FileDescription' "$tmp/uninstall.rc" || fail "Uninstall.exe carries the installer's description"
"$build/wine-run" "$tmp/brand.exe" /demo >"$tmp/brand-run.txt" 2>&1 || true
grep -q "result *0 (installed)" "$tmp/brand-run.txt" || { cat "$tmp/brand-run.txt"; fail "the branded installer did not install"; }
make_installer --link --icon "$tmp/app.ico" -o "$tmp/link.exe" >"$tmp/link.txt" 2>&1 && fail "--link took --icon"
grep -q "need the packer" "$tmp/link.txt" || { cat "$tmp/link.txt"; fail "no reason for refusing --icon with --link"; }
brand --version 2.x -o "$tmp/bad.exe" >"$tmp/bad.txt" 2>&1 && fail "a bad version was taken"
grep -q "not one to four numbers" "$tmp/bad.txt" || { cat "$tmp/bad.txt"; fail "no reason for refusing a bad version"; }
[ ! -e "$tmp/bad.exe" ] || fail "a refused build left an installer"

echo "installers: reproducible, readable, signed, branded and running"
