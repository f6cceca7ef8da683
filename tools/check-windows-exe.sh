#!/usr/bin/env bash
# Checks a built zorbalin.exe: a GUI program of the expected machine (the 32-bit one large-
# address-aware) that imports only DLLs that come with Windows, and exactly the functions
# listed in win32/imports/MACHINE.txt. A new import fails the check until it is added to that
# list, so that each one is looked at for Windows 7: a function newer than Windows 7 must go
# through GetProcAddress with a fallback, never into the import table.
# Usage: tools/check-windows-exe.sh PATH/zorbalin.exe i386|x86-64 [--update]
set -euo pipefail
exe=$1 machine=$2 update=${3:-}
case $machine in
  i386) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
  *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
headers=$("$objdump" -p "$exe")
grep -q "file format $format" <<<"$headers" || { echo "FAIL: $exe is not $format" >&2; exit 1; }
grep -qE '^Subsystem\s+0*2\s' <<<"$headers" || { echo "FAIL: $exe is not a GUI program" >&2; exit 1; }
if [ "$machine" = i386 ] && ! grep -qi 'large address aware' <<<"$headers"; then
  echo "FAIL: $exe is not large-address-aware (2 GB of address space instead of 4)" >&2; exit 1
fi
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|oleaut32|uxtheme|winmm|msvcrt|ucrtbase|api-ms-win-.*|shlwapi|version|comdlg32|imm32|dwmapi)\.dll$'
bad=$(grep -i 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | grep -Ev "$allowed" || true)
if [ -n "$bad" ]; then echo "FAIL: $exe imports DLLs that are not part of Windows: $bad" >&2; exit 1; fi

# "dll!function", one a line: the DLL name lower-cased, the functions as the table has them.
imports=$(awk '/DLL Name:/ {dll=tolower($3); next}
               dll != "" && /^\t[0-9a-f]+\t/ {print dll "!" $NF; next}
               /^$/ {next}
               /^ [0-9a-f]+\t/ {dll=""}' <<<"$headers" | LC_ALL=C sort -u)
list="$(dirname "$0")/../win32/imports/$machine.txt"
if [ "$update" = --update ]; then
  printf '%s\n' "$imports" >"$list"
  echo "updated $list"
  exit 0
fi
if ! changes=$(diff <(LC_ALL=C sort -u "$list") <(printf '%s\n' "$imports")); then
  echo "FAIL: the functions $exe imports differ from $list (< gone, > new):" >&2
  printf '%s\n' "$changes" | grep '^[<>]' >&2
  echo "Check each new one exists on Windows 7, then: $0 $exe $machine --update" >&2
  exit 1
fi
echo "ok: $exe is a $format GUI program importing $(wc -l <<<"$imports") functions, as listed," \
  "from $(grep -i 'DLL Name:' <<<"$headers" | awk '{print $3}' | sort -u | tr '\n' ' ')"
