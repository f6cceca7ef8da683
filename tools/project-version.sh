#!/usr/bin/env bash
# Prints the version set by project(... VERSION x.y.z) in the top-level CMakeLists.txt,
# for the scripts that name packages before CMake has run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -nE 's/^project\([A-Za-z]+ VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "error: no project(... VERSION x.y.z) in $root/CMakeLists.txt" >&2; exit 1; }
echo "$version"
