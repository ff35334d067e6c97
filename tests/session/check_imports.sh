#!/bin/sh
# Fails unless every DLL that the program imports is one that the first Windows 95 release
# and NT 4 ship (no C runtime DLL: msvcrt.dll came later to Windows 95):
# usage: check_imports.sh <objdump> <program.exe> [names-in-address-table]
# With the third argument it also fails unless every descriptor's lookup table is 0, so that
# the loader reads the names from the address table (the i686 layout leaves the tables out).
objdump=$1
program=$2
layout=$3
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll comdlg32.dll version.dll"
dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | tr -d '\r')
if [ -z "$dlls" ]; then
  echo "no imports found in $program" >&2
  exit 1
fi
status=0
for dll in $dlls; do
  case " $allowed " in
    *" $dll "*) echo "import ok: $dll" ;;
    *) echo "unexpected import: $dll" >&2; status=1 ;;
  esac
done
# Every DLL names its functions (in its lookup table, or in its address table where the
# layout leaves the lookup tables out).
empty=$("$objdump" -p "$program" | awk '
  /DLL Name:/ { if (dll != "" && n == 0) print dll; dll = $3; n = 0; next }
  dll != "" && /^\t[ ]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { ++n }
  END { if (dll != "" && n == 0) print dll }')
for dll in $empty; do
  echo "no functions listed for $dll" >&2; status=1
done
if [ "$layout" = names-in-address-table ]; then
  tables=$("$objdump" -p "$program" | grep -P '^ [0-9a-f]{8}\t[0-9a-f]{8} ' | awk '$2 != "00000000"')
  if [ -n "$tables" ]; then
    echo "descriptors with a lookup table (the layout should leave them out):" >&2
    echo "$tables" >&2; status=1
  fi
fi
exit $status
