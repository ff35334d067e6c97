#!/usr/bin/env bash
# A quiet installation needs no display: the demo's setup, built by lodrun, run with /Q and
# /D= under Wine with no X display at all, installs every file as built and ends with 0 well
# within its time; its uninstall program then takes the installation away again.
# usage: quiet_no_display_test.sh LODRUN STUB UNINSTALLER MANIFEST WINE-RUN...
set -uo pipefail
lodrun=$1 stub=$2 uninstaller=$3 manifest=$4
shift 4
wine_run=("$@")
work=$(mktemp -d)
# A prefix of its own, with its own wineserver: a program started without a display leaves
# the server's desktop without one, and the other tests' windows could not be made after it.
export WINEPREFIX="$work/prefix"
unset DISPLAY
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
wine_arch=win64
[ "${wine_run[1]:-}" = --arch ] && wine_arch=${wine_run[2]}
LODRUN_WINE_ARCH=$wine_arch "$(dirname "${wine_run[0]}")/wine-prefix" >/dev/null || fail "no Wine prefix"

"$lodrun" build "$manifest" -o "$work/setup.exe" --stub "$stub" --uninstaller "$uninstaller" >/dev/null ||
  fail "lodrun build"
installed="$WINEPREFIX/drive_c/Lodrun Quiet Demo"
rm -rf "$installed"
# The folder with a space, unquoted and last, as administrators write it.
timeout 60 "${wine_run[@]}" "$work/setup.exe" /Q '/D=C:\Lodrun' 'Quiet' 'Demo' \
  >"$work/run.log" 2>&1
code=$?
[ $code -ne 124 ] || fail "the quiet run did not end within 60 s without a display"
[ $code -eq 0 ] || { tail -5 "$work/run.log"; fail "the quiet run ended with $code"; }
built=$(dirname "$manifest")
for file in bin/LodrunDemo.exe readme.txt Help/guide.txt; do
  cmp "$built/$file" "$installed/${file#bin/}" || fail "$file not installed as built"
done
echo "the quiet run installed every file without a display"
"${wine_run[@]}" 'C:\Lodrun Quiet Demo\uninst.exe' /S >/dev/null 2>&1 || fail "the uninstall program failed"
for i in $(seq 100); do [ -e "$installed" ] || break; sleep 0.1; done
[ ! -e "$installed" ] || fail "the installation folder is still there: $(ls "$installed")"
echo "its uninstall program removed the installation"
