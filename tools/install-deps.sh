#!/usr/bin/env bash
# Installs the Debian packages that are missing, and nothing when all are present.
# Usage: tools/install-deps.sh PACKAGE...
set -euo pipefail

missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo_cmd=(sudo)
  else
    echo "error: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
# One index that fails to download (Debian's i386 one is sometimes out of step) must not
# keep the packages of the others from being installed: the install says what is missing.
"${sudo_cmd[@]}" apt-get update -qq || echo "warning: apt-get update failed; installing from the indexes it has" >&2
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
