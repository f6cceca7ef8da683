#!/usr/bin/env bash
# Starts the program, or explains how to when there is no display to show it on.
set -euo pipefail
binary=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it on a desktop, or under a virtual X server:" >&2
  echo "    xvfb-run -a $binary" >&2
  exit 1
fi
exec "$binary"
