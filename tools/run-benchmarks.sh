#!/usr/bin/env bash
# Runs every benchmark executable found in the build folder and prints what each reports:
# the core benchmarks (draw_bench, presentation_tick_bench, textio_bench) and the
# application benchmark (app_bench, which prints one markdown table). Arguments after the
# folder go to app_bench, for instance --quick. Fails when a benchmark fails.
# Usage: tools/run-benchmarks.sh BUILD_DIR [app_bench arguments...]
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [app_bench arguments...]" >&2
  exit 2
fi
build_dir=$1
shift

# Settings and files written by a benchmark stay in a temporary folder.
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
       XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=offscreen

status=0
found=0
for name in draw_bench presentation_tick_bench textio_bench app_bench; do
  binary="$(find "$build_dir/bench" -type f -name "$name" -perm -u+x 2>/dev/null | head -n 1)"
  if [ -z "$binary" ]; then
    echo "== $name: not built in $build_dir, skipped"
    continue
  fi
  found=1
  echo "== $name"
  if [ "$name" = app_bench ]; then
    "$binary" "$@" || status=1
  else
    "$binary" || status=1
  fi
  echo
done

if [ $found -eq 0 ]; then
  echo "no benchmark executables in $build_dir/bench; build with -DZORBALIN_BUILD_BENCH=ON" >&2
  exit 1
fi
exit $status
