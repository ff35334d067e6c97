#!/usr/bin/env bash
# A setup signed after it was built still loads and installs: the demo's setup is built by
# lodrun, signed with Authenticode by osslsigncode under a certificate made here, accepted by
# osslsigncode verify, read by lodrun verify and list, and walked through its wizard under
# Wine, which must install every file as built.
# usage: signed_setup_test.sh LODRUN STUB UNINSTALLER MANIFEST WALKER SCREENSHOTS WINE-RUN...
set -uo pipefail
lodrun=$1 stub=$2 uninstaller=$3 manifest=$4 walker=$5 shots=$6
shift 6
wine_run=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$lodrun" build "$manifest" -o "$work/setup.exe" --stub "$stub" --uninstaller "$uninstaller" || fail "lodrun build"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
  -days 2 -subj "/CN=lodrun test signer" 2>/dev/null || fail "openssl made no certificate"
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Lodrun Demo" \
  -in "$work/setup.exe" -out "$work/signed.exe" >/dev/null || fail "osslsigncode sign"
signed_size=$(stat -c %s "$work/signed.exe")
[ "$signed_size" -gt "$(stat -c %s "$work/setup.exe")" ] || fail "the signature added nothing"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log"; fail "osslsigncode verify refused the signed setup"; }
grep -q "Signature verification: ok" "$work/verify.log" || fail "no verified signature"

"$lodrun" verify "$work/signed.exe" || fail "lodrun verify refused the signed setup"
"$lodrun" list "$work/signed.exe" >"$work/list.txt" || fail "lodrun list"
grep -q "size: *$signed_size bytes" "$work/list.txt" || fail "list does not show the signed size"
grep -q "^readme.txt " "$work/list.txt" || fail "list does not show the files"

# Install it: the demo goes into its default directory in the test prefix.
installed="$WINEPREFIX/drive_c/Program Files/Lodrun Demo"
rm -rf "$installed" "$shots"
mkdir -p "$shots"
# The walk ends by starting the demo program: its output goes to a file, not to ctest's pipe,
# which the program would hold open, and the program is stopped afterwards.
"${wine_run[@]}" "$walker" "$work/signed.exe" "$(basename "$shots")" >"$work/walk.log" 2>&1
walked=$?
cat "$work/walk.log"
"${wine_run[@]}" taskkill /F /IM LodrunDemo.exe >/dev/null 2>&1
[ $walked -eq 0 ] || fail "the signed setup's wizard walk"
for bmp in "$shots"/*.bmp; do
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done
built=$(dirname "$manifest")
for file in bin/LodrunDemo.exe readme.txt Help/guide.txt; do
  cmp "$built/$file" "$installed/${file#bin/}" || fail "$file not installed as built"
done
echo "the signed setup ($signed_size bytes) installed every file"

# Its uninstall program, run silently, takes everything away again (and leaves the test
# prefix as it was for the next run).
"${wine_run[@]}" 'C:\Program Files\Lodrun Demo\uninst.exe' /S >/dev/null 2>&1 || fail "the uninstall program failed"
for i in $(seq 100); do [ -e "$installed" ] || break; sleep 0.1; done
[ ! -e "$installed" ] || fail "the installation folder is still there: $(ls "$installed")"
echo "its uninstall program removed the installation"
