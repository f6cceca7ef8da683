#!/usr/bin/env bash
# Prints the Debian packages that building and testing the Linux program needs, one a line:
# the Build-Depends of debian/control, the one list of them (versions and build profiles
# dropped; debhelper-compat is only for building the package itself).
set -euo pipefail
control="$(dirname "$0")/../debian/control"
awk '/^Build-Depends:/ {on=1; sub(/^Build-Depends:/, "")}
     on && /^[^ \t]/ && !/^Build-Depends:/ {on=0}
     on {print}' "$control" |
  tr ',' '\n' | sed -E 's/\(.*\)//; s/<.*>//; s/^[[:space:]]+//; s/[[:space:]]+$//' |
  grep -v -e '^$' -e '^debhelper-compat$'
