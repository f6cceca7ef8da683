#!/usr/bin/env bash
# The Windows build measured under Wine, each figure beside a bare Win32 program doing the
# same: cold start (against a bare window), loading the remembered file of 100,000 and
# 1,000,000 candidates at startup (against a bare EDIT control given the same text), and the
# draw timer's tick precision at 50 ms and 10 ms (against plain SetTimer). Prints medians.
# Runs in a fresh Wine prefix, removed afterwards, on a private Xvfb when there is no display.
# Usage: tools/run-windows-benchmarks.sh [BUILD_DIR] [--quick]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build_dir=$(realpath "${1:-build-win64}")
cold_runs=10 runs_100k=5 runs_1m=3 tick_seconds=10
if [ "${2:-}" = --quick ]; then cold_runs=3 runs_100k=2 runs_1m=1 tick_seconds=3; fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
exe="$build_dir/win32/zorbalin.exe"
bench="$build_dir/bench/win32"
for file in "$exe" "$bench/start_probe.exe" "$bench/bare_window.exe" "$bench/tick_probe.exe"; do
  [ -f "$file" ] || { echo "missing $file: build $build_dir first (make windows)" >&2; exit 1; }
done

export WINEDEBUG=-all LANG=zh_CN.UTF-8
work=$(mktemp -d /tmp/zorbalin-winbench.XXXXXX)
export WINEPREFIX="$work/prefix"
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
timeout 300 "$wine" wineboot -i >/dev/null 2>&1

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
key='HKCU\Software\VB and VBA Program Settings\Pellanor'
forget_settings() { timeout 60 "$wine" reg delete "$key" /f >/dev/null 2>&1 || true; }
remember_file() {
  timeout 60 "$wine" reg add "$key\\Nomal" /v Path /t REG_SZ /d "$(windows_path "$1")" /f >/dev/null 2>&1
}
# Milliseconds from starting the program until its window is shown and waits for input.
time_start() { timeout 600 "$wine" "$bench/start_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
row() { awk -v m="$1" -v a="$2" -v b="$3" 'BEGIN { printf "| %s | %.0f ms | %.0f ms | %.2f× |\n", m, a, b, a / b }'; }

# Candidate files as the window meets them: UTF-8, CR LF after every line.
candidates() { awk -v n="$1" 'BEGIN { for (i = 1; i <= n; ++i) printf "候选人%07d\r\n", i }'; }
candidates 100000 >"$work/100k.txt"
candidates 1000000 >"$work/1m.txt"

echo "Windows build under Wine $("$wine" --version), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Measure (median) | zorbalin.exe | Bare Win32 | Ratio |"
echo "|---|---:|---:|---:|"

# The first start in a prefix builds Wine's font cache: once each, not counted.
forget_settings
time_start Zorbalin "$(windows_path "$exe")" >/dev/null
time_start "Bare window" "$(windows_path "$bench/bare_window.exe")" >/dev/null

ours=() bare=()
for ((i = 0; i < cold_runs; ++i)); do  # taking turns, so that slow moments hit both
  forget_settings
  ours+=("$(time_start Zorbalin "$(windows_path "$exe")")")
  bare+=("$(time_start "Bare window" "$(windows_path "$bench/bare_window.exe")")")
done
row "Cold start to window shown and idle, no remembered file ($cold_runs runs)" \
  "$(printf '%s\n' "${ours[@]}" | median)" "$(printf '%s\n' "${bare[@]}" | median)"

load_row() {  # load_row LABEL FILE RUNS
  local ours=() bare=() copy="$work/list.txt"
  for ((i = 0; i < $3; ++i)); do
    cp "$2" "$copy"  # the window may write the tidied list back on closing
    remember_file "$copy"
    ours+=("$(time_start Zorbalin "$(windows_path "$exe")")")
    bare+=("$(time_start "Bare window" "$(windows_path "$bench/bare_window.exe")" "$(windows_path "$2")")")
  done
  row "$1 ($3 runs)" "$(printf '%s\n' "${ours[@]}" | median)" "$(printf '%s\n' "${bare[@]}" | median)"
}
load_row "Start with a remembered file of 100,000 candidates" "$work/100k.txt" "$runs_100k"
load_row "Start with a remembered file of 1,000,000 candidates" "$work/1m.txt" "$runs_1m"

echo
echo "Ticks for $tick_seconds s each, delivered to a window's thread as the draw receives them:"
echo
timeout 600 "$wine" "$bench/tick_probe.exe" "$tick_seconds" 2>/dev/null | tr -d '\r'
