#!/usr/bin/env bash
# Packs a built zorbalin.exe: the per-user NSIS setup program, and for the 32-bit exe that
# ships also the portable zip (the exe and the licence). The 64-bit setup exists so that
# the installer can be tried under a 64-bit-only Wine.
# Usage: tools/build-windows-installer.sh OUT_DIR EXE win32|win64
set -euo pipefail

if [ $# -ne 3 ] || { [ "$3" != win32 ] && [ "$3" != win64 ]; }; then
  echo "usage: $0 OUT_DIR EXE win32|win64" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "$1" && cd "$1" && pwd)"
exe="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
flavour=$3
version="$("$root/tools/project-version.sh")"
[ -f "$exe" ] || { echo "error: $exe is missing; run make windows first" >&2; exit 1; }

"$root/tools/install-deps.sh" nsis
options=(-V2 -DVERSION="$version" -DEXE="$exe" -DLICENSE_FILE="$root/LICENSE")
icon="$root/win32/resources/zorbalin.ico"   # the program's own icon, when the tree has it
[ -f "$icon" ] && options+=(-DICON="$icon")

# makensis reads the script from its own folder, so every path it gets is absolute.
if [ "$flavour" = win32 ]; then
  setup="$out/zorbalin-$version-setup.exe"
  makensis "${options[@]}" -DOUTFILE="$setup" "$root/packaging/windows/zorbalin.nsi"

  staging="$(mktemp -d)"
  trap 'rm -rf "$staging"' EXIT
  cp "$exe" "$staging/zorbalin.exe"
  cp "$root/LICENSE" "$staging/LICENSE.txt"
  zip="$out/zorbalin-$version-win32.zip"
  rm -f "$zip"
  (cd "$staging" && cmake -E tar cf "$zip" --format=zip zorbalin.exe LICENSE.txt)
  echo "$setup"
  echo "$zip"
else
  setup="$out/zorbalin-$version-win64-setup.exe"
  makensis "${options[@]}" -DWIN64 -DOUTFILE="$setup" "$root/packaging/windows/zorbalin.nsi"
  echo "$setup"
fi
