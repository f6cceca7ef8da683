#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: in the prefix given by WINEPREFIX, or in
# a fresh temporary one that is removed afterwards. Quiet, in a Chinese locale.
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
export WINEDEBUG=-all
export LANG=${ZORBALIN_WINE_LANG:-zh_CN.UTF-8}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix=$(mktemp -d /tmp/zorbalin-wine.XXXXXX)
  export WINEPREFIX=$own_prefix
  timeout 180 "$wine" wineboot -i >/dev/null 2>&1
fi
cleanup() {
  if [ -n "$own_prefix" ]; then
    WINEPREFIX=$own_prefix timeout 30 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$own_prefix"
  fi
}
trap cleanup EXIT
"$wine" "$@"
