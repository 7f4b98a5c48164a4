#!/usr/bin/env bash
# Reproduces the README's performance table: the scan against its floor
# (Google Benchmark, in process), and whole-process start-up time and peak
# memory against a bare Qt window (hyperfine and /usr/bin/time).
# Usage: bench/run-benchmarks.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps
build=${1:-$here/build-bench}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DRUNEMARK_TESTS=OFF -DRUNEMARK_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_scan bench_startup bench_bare_window bench_make_tree

export QT_QPA_PLATFORM=offscreen
echo "== Scan (in process) =="
"$build/bench/bench_scan" --benchmark_min_time=0.3 --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_color=false

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo
echo "== Start-up (whole process, offscreen) =="
printf '%-8s %10s %10s %7s %12s %12s %10s\n' subdirs "bare ms" "start ms" ratio "bare KiB" "start KiB" "+MiB"
for n in 100 1000 10000; do
    "$build/bench/bench_make_tree" "$work/$n" "$n"
    (
        cd "$work/$n"
        hyperfine -N --warmup 5 --runs 40 --export-csv "$work/t$n.csv" \
            "$build/bench/bench_bare_window" "$build/bench/bench_startup" >/dev/null
        bare_ms=$(awk -F, 'NR==2 {printf "%.1f", $2*1000}' "$work/t$n.csv")
        start_ms=$(awk -F, 'NR==3 {printf "%.1f", $2*1000}' "$work/t$n.csv")
        peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
        bare_kib=$(peak "$build/bench/bench_bare_window")
        start_kib=$(peak "$build/bench/bench_startup")
        printf '%-8s %10s %10s %7.2f %12s %12s %10.1f\n' "$n" "$bare_ms" "$start_ms" \
            "$(echo "$start_ms / $bare_ms" | bc -l)" "$bare_kib" "$start_kib" \
            "$(echo "($start_kib - $bare_kib) / 1024" | bc -l)"
    )
done
