#!/usr/bin/env bash
# Checks a built zorbalin.exe: a GUI program of the expected machine that imports only
# DLLs that come with Windows (everything else is linked in statically).
# Usage: tools/check-windows-exe.sh PATH/zorbalin.exe i386|x86-64
set -euo pipefail
exe=$1 machine=$2
case $machine in
  i386) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
  *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
headers=$("$objdump" -p "$exe")
grep -q "file format $format" <<<"$headers" || { echo "FAIL: $exe is not $format" >&2; exit 1; }
grep -qE '^Subsystem\s+0*2\s' <<<"$headers" || { echo "FAIL: $exe is not a GUI program" >&2; exit 1; }
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|oleaut32|uxtheme|winmm|msvcrt|ucrtbase|api-ms-win-.*|shlwapi|version|comdlg32|imm32|dwmapi)\.dll$'
bad=$(grep -i 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | grep -Ev "$allowed" || true)
if [ -n "$bad" ]; then echo "FAIL: $exe imports DLLs that are not part of Windows: $bad" >&2; exit 1; fi
echo "ok: $exe is a $format GUI program importing only Windows DLLs:" \
  "$(grep -i 'DLL Name:' <<<"$headers" | awk '{print $3}' | sort -u | tr '\n' ' ')"
