#!/usr/bin/env bash
# The Linux figures, each beside its floor (bare Qt doing the same work):
#  - every Google Benchmark program of the build (*_bench: the core's tidying and loading,
#    the window's start latency and ticks), reporting mean, median and spread of repetitions;
#  - the program measured whole with bench/app/probe: cold start and loading timed by
#    hyperfine, peak resident memory (and wall time) of one run each from GNU time, among
#    them choosing a 64 MiB list of about a million lines.
# Settings and files stay in a temporary folder.
# Usage: tools/run-benchmarks.sh BUILD_DIR [--quick]
set -euo pipefail
if [ $# -lt 1 ]; then echo "usage: $0 BUILD_DIR [--quick]" >&2; exit 2; fi
build=$(realpath "$1")
repetitions=3 runs=10 big_runs=3 skip='^$'
if [ "${2:-}" = --quick ]; then repetitions=1 runs=3 big_runs=1 skip='lines:1000000|Tick'; fi
probe=$build/bench/app/probe
[ -x "$probe" ] || { echo "no $probe: build with -DZORBALIN_BUILD_BENCH=ON (make bench)" >&2; exit 1; }
command -v hyperfine >/dev/null && [ -x /usr/bin/time ] ||
  { echo "hyperfine and GNU time are needed: make bench installs them" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$work/runtime"
echo "Load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores, $(date -u '+%F %H:%M') UTC"

find "$build/bench" -type f -perm -u+x -name '*_bench' | sort | while read -r bench; do
  echo; echo "== $(basename "$bench")"
  "$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_filter="-($skip)" 2>&1 | grep -v '_cv '
done

source "$(dirname "$0")/candidate-lists.sh"
candidates 100000 "$work/100k.txt"
candidates 1000000 "$work/1m.txt"
candidates 1048576 "$work/64mib.txt" 64
size_64mib=$(stat -c %s "$work/64mib.txt")

# hyperfine with its table in Markdown (its "Relative" column: the ratio to the fastest).
timed() { hyperfine -N --style none --export-markdown "$work/table.md" "$@"; cat "$work/table.md"; }

echo; echo "== Cold start: from exec until the window is shown and painted (hyperfine)"
timed --warmup 2 --runs "$runs" \
  -n "Form1, no remembered file" "$probe form1" -n "floor: a bare QPlainTextEdit" "$probe bare"

for list in 100k 1m; do
  echo; echo "== Loading $list lines, the process whole (hyperfine)"
  timed --runs "$big_runs" --prepare "cp $work/$list.txt $work/list.txt" \
    -n "Form1, the remembered file at startup" "$probe form1 --startup $work/list.txt" \
    -n "Form1, choosing it (load, tidy, write back)" "$probe form1 --choose $work/list.txt" \
    -n "floor: a bare QPlainTextEdit given its text" "$probe bare --startup $work/list.txt"
done

echo; echo "== Peak resident memory, one run each (GNU time); the list is $size_64mib bytes"
echo
echo "| Process | Peak resident | Above its idle window | × the file | Wall time |"
echo "|---|---:|---:|---:|---:|"
peak() {  # peak LABEL IDLE_KB PROBE_ARGUMENTS...: prints a row; sets kb
  local label=$1 idle=$2 seconds; shift 2
  cp "$work/64mib.txt" "$work/list.txt"
  /usr/bin/time -f '%M %e' -o "$work/time" "$probe" "$@" >/dev/null 2>&1 ||
    { echo "| $label | failed | | | |"; exit 1; }
  read -r kb seconds <"$work/time"
  awk -v l="$label" -v kb="$kb" -v idle="$idle" -v bytes="$size_64mib" -v s="$seconds" 'BEGIN {
    above = idle ? sprintf("%.0f MiB", (kb - idle) / 1024) : "–"
    times = idle ? sprintf("%.1f×", (kb - idle) * 1024 / bytes) : "–"
    printf "| %s | %.0f MiB | %s | %s | %.1f s |\n", l, kb / 1024, above, times, s }'
}
peak "Form1, idle" 0 form1; form_idle=$kb
peak "Form1 choosing the list (load, tidy, write back)" "$form_idle" form1 --choose "$work/list.txt"
peak "Form1 starting with the list remembered" "$form_idle" form1 --startup "$work/list.txt"
peak "floor: a bare QPlainTextEdit, empty" 0 bare; bare_idle=$kb
peak "floor: a bare QPlainTextEdit given the list's text" "$bare_idle" bare --choose "$work/list.txt"
