#!/usr/bin/env bash
# Builds every package from the committed tree and tries each as a user would: the Debian
# package (tools/check-deb.sh) and the Windows setup program (tools/check-windows-installer.sh).
# Prints the sizes of the packages and how long it all took. Installs and removes the
# Debian package system-wide, so make test never runs it.
# Usage: tools/package-check.sh DEB_DIR INSTALLER_DIR WIN32_EXE WIN64_EXE
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 DEB_DIR INSTALLER_DIR WIN32_EXE WIN64_EXE" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
deb_dir=$1 installer_dir=$2 exe32=$3 exe64=$4
version="$("$root/tools/project-version.sh")"
started=$SECONDS

echo "=== Debian package"
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
"$root/tools/build-deb.sh" "$deb_dir" | tee "$output"
deb="$(tail -n 1 "$output")"
"$root/tools/check-deb.sh" "$deb"

echo "=== Windows installer"
"$root/tools/build-windows-installer.sh" "$installer_dir" "$exe32" win32
"$root/tools/build-windows-installer.sh" "$installer_dir" "$exe64" win64
"$root/tools/check-windows-installer.sh" "$installer_dir/zorbalin-$version-win64-setup.exe"

echo "=== Sizes"
for file in "$deb" "$installer_dir/zorbalin-$version-setup.exe" \
            "$installer_dir/zorbalin-$version-win32.zip"; do
  printf '%8d KiB  %s\n' $(( ($(stat -c %s "$file") + 1023) / 1024 )) "$file"
done
echo "package-check took $(( SECONDS - started )) s"
echo "package-check: 2 passed, 0 failed"
