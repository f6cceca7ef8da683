#!/usr/bin/env bash
# Runs the Windows build's suites under Wine in one fresh prefix, removed afterwards.
# Says so in one line, and fails, when Wine cannot run here: never a silent pass.
# Usage: tools/run-windows-tests.sh BUILD_DIR [CTEST_ARGS...]
set -euo pipefail
build_dir=$1; shift
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if ! "$wine" --version >/dev/null 2>&1; then
  echo "Windows tests NOT RUN: Wine (wine64) is not available on this machine." >&2
  exit 1
fi
export WINEDEBUG=-all LANG=zh_CN.UTF-8
WINEPREFIX=$(mktemp -d /tmp/zorbalin-wine.XXXXXX)
export WINEPREFIX
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
# Wait for the boot's processes to end: a desktop process started without a display would
# stay and refuse the windows of the suites run under the virtual X server below.
timeout 60 wineserver -w >/dev/null 2>&1 || true
# The window tests create real windows: Wine draws them on a private virtual X server,
# which must not reset when its last client leaves (Wine's clipboard does not survive it).
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash -c 'cd "$0" && ctest --output-on-failure --timeout 600 "$@"' "$build_dir" "$@"
  exit $?
fi
cd "$build_dir"
ctest --output-on-failure --timeout 600 "$@"
