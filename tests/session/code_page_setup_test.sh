#!/usr/bin/env bash
# Setups written in code pages 1252, 1250 and 1251, with texts and file names outside ASCII:
# each is built by lodrun, listed and extracted with its names as written, and installed
# under Wine in a matching locale by the wizard walker, which checks that the welcome page
# shows its first line as written (its UTF-16 text and its width on screen). The installed
# files carry their names as written; the uninstall program then removes them.
# usage: code_page_setup_test.sh LODRUN STUB UNINSTALLER WALKER SCREENSHOTS WINE-RUN...
set -uo pipefail
lodrun=$1 stub=$2 uninstaller=$3 walker=$4 shots=$5
shift 5
wine_run=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# Wine takes the Windows code page from the locale's name, and the Unix names of files from
# the C library's locale, which must exist: each is made here from Debian's locale sources.
locales="$work/locales"
mkdir -p "$locales"
for locale in de_DE cs_CZ ru_RU; do
  if ! localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" >/dev/null 2>&1; then
    echo "SKIPPED: localedef cannot make $locale.UTF-8 (Debian's package locales)"
    exit 77
  fi
done

# code page, Unix locale of the Windows one, application name, welcome line, two file names
cases=(
  "1252|de_DE.UTF-8|Grüße aus Köln €|Größe: 5 € für Äpfel|Übersicht.txt|Bücher\\Straße.txt"
  "1250|cs_CZ.UTF-8|Žluťoučký kůň|Příliš žluťoučký kůň úpěl|čeština.txt|Složka\\ďábelské ódy.txt"
  "1251|ru_RU.UTF-8|Привет, мир|Съешь же ещё этих булок|файл.txt|Папка\\Ёлка и ёж.txt"
)
for case in "${cases[@]}"; do
  IFS='|' read -r page locale app line first second <<<"$case"
  dir="$work/$page"
  mkdir -p "$dir/files"
  printf 'first file of code page %s\n' "$page" >"$dir/files/$first"
  printf 'second file of code page %s\n' "$page" >"$dir/second.txt"
  toml_second=${second//\\/\\\\}
  cat >"$dir/setup.toml" <<TOML
[setup]
code_page = $page
app_name = "$app"
default_dir = "C:\\\\Lodrun CP$page"
uninstaller = true
[texts.welcome]
line1 = "$line"
[[files]]
source = "files"
[[files]]
source = "second.txt"
name = "$toml_second"
TOML
  "$lodrun" build "$dir/setup.toml" -o "$dir/setup.exe" --stub "$stub" --uninstaller "$uninstaller" ||
    fail "lodrun build in code page $page"

  # The tool shows and extracts the names as written (UTF-8 here), not as the setup's bytes.
  "$lodrun" list "$dir/setup.exe" >"$dir/list.txt" || fail "lodrun list in code page $page"
  grep -qF "$app" "$dir/list.txt" || { cat "$dir/list.txt"; fail "list does not show \"$app\""; }
  grep -qF "$first" "$dir/list.txt" || { cat "$dir/list.txt"; fail "list does not show \"$first\""; }
  "$lodrun" extract "$dir/setup.exe" -C "$dir/out" || fail "lodrun extract in code page $page"
  cmp "$dir/files/$first" "$dir/out/$first" || fail "extract did not give \"$first\""
  cmp "$dir/second.txt" "$dir/out/${second//\\//}" || fail "extract did not give \"$second\""

  # Installed in a Windows of that code page.
  installed="$WINEPREFIX/drive_c/Lodrun CP$page"
  rm -rf "$installed" "$shots/cp$page"
  mkdir -p "$shots/cp$page"
  hex=$(printf '%s' "$line" | od -An -tx1 | tr -d ' \n')
  env LOCPATH="$locales" LC_ALL="$locale" "${wine_run[@]}" "$walker" --welcome-line "$hex" "$dir/setup.exe" "$(basename "$shots")/cp$page" \
    >"$dir/walk.log" 2>&1
  walked=$?
  cat "$dir/walk.log"
  for bmp in "$shots/cp$page"/*.bmp; do
    [ -e "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
  done
  [ $walked -eq 0 ] || fail "the wizard of code page $page (in $locale)"
  cmp "$dir/files/$first" "$installed/$first" || fail "\"$first\" not installed under its name"
  cmp "$dir/second.txt" "$installed/${second//\\//}" || fail "\"$second\" not installed under its name"
  echo "code page $page: built, listed, extracted and installed with its names as written"

  env LOCPATH="$locales" LC_ALL="$locale" "${wine_run[@]}" "C:\\Lodrun CP$page\\uninst.exe" /S >/dev/null 2>&1 ||
    fail "the uninstall program of code page $page failed"
  for i in $(seq 100); do [ -e "$installed" ] || break; sleep 0.1; done
  [ ! -e "$installed" ] || fail "code page $page: still installed: $(ls -R "$installed")"
done
