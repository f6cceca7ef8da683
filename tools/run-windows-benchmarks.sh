#!/usr/bin/env bash
# The Windows build measured under Wine, each figure beside a bare Win32 program doing the
# same (bench/win32/bare_window.exe): cold start; loading the remembered file of 100,000 and
# 1,000,000 candidates at startup, with the peak working set; the peak while choosing a
# 64 MiB list. Medians where runs repeat.
# Runs in a fresh Wine prefix, removed afterwards, on a private Xvfb when there is no display.
# Usage: tools/run-windows-benchmarks.sh [BUILD_DIR] [--quick]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
build_dir=$(realpath "${1:-build-win64}")
cold_runs=10 runs_100k=5 runs_1m=3
if [ "${2:-}" = --quick ]; then cold_runs=3 runs_100k=2 runs_1m=1; fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
exe=$build_dir/win32/zorbalin.exe bare=$build_dir/bench/win32/bare_window.exe
probe=$build_dir/bench/win32/probe.exe
for file in "$exe" "$bare" "$probe"; do
  [ -f "$file" ] || { echo "missing $file: build $build_dir first (make windows)" >&2; exit 1; }
done

export WINEDEBUG=-all LANG=zh_CN.UTF-8
work=$(mktemp -d /tmp/zorbalin-winbench.XXXXXX)
export WINEPREFIX="$work/prefix"
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w >/dev/null 2>&1 || true

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
key='HKCU\Software\VB and VBA Program Settings\Pellanor'
forget_settings() { timeout 60 "$wine" reg delete "$key" /f >/dev/null 2>&1 || true; }
remember_file() {
  timeout 60 "$wine" reg add "$key\\Nomal" /v Path /t REG_SZ /d "$(windows_path "$1")" /f >/dev/null 2>&1
}
run_probe() {
  local out
  out=$(timeout 1200 "$wine" "$probe" "$@" 2>/dev/null) || { echo "probe.exe $* failed" >&2; return 1; }
  tr -d '\r' <<<"$out"
}
# "MILLISECONDS PEAK_MIB" from starting the program until its window is shown and idle.
start_ours() { run_probe start Zorbalin "$(windows_path "$exe")"; }
start_bare() { run_probe start "Bare window" "$(windows_path "$bare")" ${1:+"$(windows_path "$1")"}; }
median() {  # of column $1 of the lines read
  cut -d' ' -f"$1" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() {  # row LABEL OURS_LINES BARE_LINES
  awk -v m="$1" -v a="$(median 1 <<<"$2")" -v b="$(median 1 <<<"$3")" -v pa="$(median 2 <<<"$2")" \
    -v pb="$(median 2 <<<"$3")" 'BEGIN { printf "| %s | %.0f ms | %.0f ms | %.2f× | %.1f MiB | %.1f MiB |\n", m, a, b, a / b, pa, pb }'
}

source "$(dirname "$0")/candidate-lists.sh"
candidates 100000 "$work/100k.txt"
candidates 1000000 "$work/1m.txt"
candidates 1048576 "$work/64mib.txt" 64
size_64mib=$(stat -c %s "$work/64mib.txt")

echo "Windows build under Wine $("$wine" --version), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Start until the window is shown and idle (median) | zorbalin.exe | Bare Win32 | Ratio | Peak working set | Bare |"
echo "|---|---:|---:|---:|---:|---:|"
# The first start in a prefix builds Wine's font cache: once each, not counted.
forget_settings
start_ours >/dev/null
start_bare >/dev/null
ours='' theirs=''
for ((i = 0; i < cold_runs; ++i)); do  # taking turns, so that slow moments hit both
  forget_settings
  ours+="$(start_ours)"$'\n'
  theirs+="$(start_bare)"$'\n'
done
row "No remembered file (runs: $cold_runs)" "${ours%$'\n'}" "${theirs%$'\n'}"

load_row() {  # load_row LABEL FILE RUNS
  local ours='' theirs=''
  for ((i = 0; i < $3; ++i)); do
    cp "$2" "$work/list.txt"  # the window may write the tidied list back on closing
    remember_file "$work/list.txt"
    ours+="$(start_ours)"$'\n'
    theirs+="$(start_bare "$2")"$'\n'
  done
  row "$1 (runs: $3)" "${ours%$'\n'}" "${theirs%$'\n'}"
}
load_row "A remembered file of 100,000 candidates" "$work/100k.txt" "$runs_100k"
load_row "A remembered file of 1,000,000 candidates" "$work/1m.txt" "$runs_1m"
forget_settings

echo
echo "Choosing a list of $size_64mib bytes, $(wc -l <"$work/64mib.txt") lines (one run each):"
echo
echo "| Process | Time | Peak working set | Above its idle window | × the file |"
echo "|---|---:|---:|---:|---:|"
memory_row() {  # memory_row LABEL "MILLISECONDS PEAK_MIB" [IDLE_MIB]
  awk -v l="$1" -v ms="${2% *}" -v mib="${2#* }" -v idle="${3:-}" -v bytes="$size_64mib" 'BEGIN {
    above = idle == "" ? "–" : sprintf("%.0f MiB", mib - idle)
    times = idle == "" ? "–" : sprintf("%.1f×", (mib - idle) * 1048576 / bytes)
    printf "| %s | %.1f s | %.0f MiB | %s | %s |\n", l, ms / 1000, mib, above, times }'
}
cp "$work/64mib.txt" "$work/list.txt"
idle=$(run_probe choose)
chosen=$(run_probe choose "$(windows_path "$work/list.txt")")
bare_idle=$(start_bare)
bare_full=$(start_bare "$work/64mib.txt")
memory_row "Form1 idle (probe.exe choose)" "$idle"
memory_row "Form1 choosing it: load, tidy, write back (probe.exe)" "$chosen" "${idle#* }"
memory_row "floor: bare_window.exe, empty" "$bare_idle"
memory_row "floor: bare_window.exe, its EDIT given the text" "$bare_full" "${bare_idle#* }"
