#!/usr/bin/env bash
# Runs each libFuzzer target for a set time, seeded with the sample files in tests/data.
# Fails when a fuzzer finds a crash, a leak, a hang or undefined behaviour; what it found
# is kept in <build-dir>/fuzz-artifacts.
# Usage: tools/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail

build_dir=$1
seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"
artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
for target in fuzz_rich_text_reader fuzz_plain_text_decoding fuzz_workbook_reader; do
  binary="$build_dir/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "error: $binary is missing; build with -DZORBALIN_FUZZ=ON" >&2
    exit 1
  fi
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp "$root"/tests/data/* "$corpus"/ 2>/dev/null || true
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536
           -print_final_stats=1 -artifact_prefix="$artifacts/$target-")
  dict="$root/fuzz/${target#fuzz_}.dict"
  [ -f "$dict" ] && options+=(-dict="$dict")
  echo "== $target for ${seconds}s"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$binary" "${options[@]}" "$corpus" \
       > "$work/$target.log" 2>&1; then
    echo "FAILED: $target found a problem (artifacts in $artifacts):"
    tail -n 60 "$work/$target.log"
    status=1
  else
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|cov:' "$work/$target.log" | tail -n 4
  fi
done
exit $status
