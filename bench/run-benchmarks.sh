#!/usr/bin/env bash
# Reproduces the README's performance tables: the scan against its floor
# (Google Benchmark, in process, CPU time), and whole-process start-up time
# and peak memory against floors measured in the same run (hyperfine medians
# and /usr/bin/time): a bare Qt window, the same window drawing a line in
# each face Runemark uses (the start-up floor), and a process that reads
# every sub-directory once (the scan floor); then start-up from a share that
# answers each listing 5 ms late, against the floors of reading it serially
# and with 16 listings in flight (bench/slow-share.sh, in a private mount
# namespace). Run as root, it also measures start-up with a cold page cache,
# dropped before every run.
# Usage: bench/run-benchmarks.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps
build=${1:-$here/build-bench}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DRUNEMARK_TESTS=OFF -DRUNEMARK_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_scan bench_startup bench_bare_window bench_font_window \
    bench_read_floor bench_make_tree bench_panel bench_dead_share
b=$build/bench

echo "== Machine =="
uptime
export QT_QPA_PLATFORM=offscreen
echo
echo "== Scan (in process) =="
"$b/bench_scan" --benchmark_min_time=0.3 --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_color=false
echo
echo "== A selection to a filled panel (100 maps in one pak, warm) =="
"$b/bench_panel" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_color=false

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Median seconds of row $2 of hyperfine's CSV $1, in milliseconds.
ms() { awk -F, -v row="$2" 'NR==row+1 {printf "%.1f", $4*1000}' "$1"; }
ratio() { printf '%.2f' "$(echo "$1" | bc -l)"; }
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

echo
echo "== Start-up, warm (whole process, offscreen; medians, ms) =="
printf '%-8s %8s %8s %8s %8s %9s %13s %10s %10s %10s %9s\n' subdirs bare fonts read start \
    start/fonts "start/(f+r)" "bare KiB" "fonts KiB" "start KiB" "+MiB"
for n in 100 1000 10000; do
    "$b/bench_make_tree" "$work/$n" "$n"
    (
        cd "$work/$n"
        hyperfine -N --warmup 5 --runs 30 --export-csv "$work/w$n.csv" "$b/bench_bare_window" \
            "$b/bench_font_window" "$b/bench_read_floor quake" "$b/bench_startup" >/dev/null
        bare=$(ms "$work/w$n.csv" 1) fonts=$(ms "$work/w$n.csv" 2)
        read=$(ms "$work/w$n.csv" 3) start=$(ms "$work/w$n.csv" 4)
        bare_kib=$(peak "$b/bench_bare_window") fonts_kib=$(peak "$b/bench_font_window")
        start_kib=$(peak "$b/bench_startup")
        printf '%-8s %8s %8s %8s %8s %9s %13s %10s %10s %10s %9.1f\n' "$n" "$bare" "$fonts" \
            "$read" "$start" "$(ratio "$start / $fonts")" "$(ratio "$start / ($fonts + $read)")" \
            "$bare_kib" "$fonts_kib" "$start_kib" "$(echo "($start_kib - $bare_kib) / 1024" | bc -l)"
    )
done

echo
echo "== Start-up from a slow share (whole process, offscreen; medians, ms) =="
mkdir "$work/slow-share"
"$here/tests/support/private-mounts.sh" "$here/bench/slow-share.sh" "$b" "$work/slow-share" ||
    echo "(no private mount namespace or FUSE here: slow share skipped)"

echo
echo "== Threads after 20 Refreshes on a share that stopped answering (bound: 24 workers) =="
mkdir "$work/dead-share"
"$here/tests/support/private-mounts.sh" "$here/bench/dead-share.sh" "$b" "$work/dead-share" ||
    echo "(no private mount namespace or FUSE here: dead share skipped)"

if [ "$(id -u)" -ne 0 ] || [ ! -w /proc/sys/vm/drop_caches ]; then
    echo
    echo "(not root: cold start-up skipped)"
    exit 0
fi
echo
echo "== Start-up, cold: page cache dropped before every run (medians, ms) =="
printf '%-8s %8s %8s %8s %9s %13s\n' subdirs fonts read start start/fonts "start/(f+r)"
for n in 1000 10000; do
    (
        cd "$work/$n"
        hyperfine -N --runs 8 --prepare "sh -c 'sync; echo 3 > /proc/sys/vm/drop_caches'" \
            --export-csv "$work/c$n.csv" "$b/bench_font_window" "$b/bench_read_floor quake" \
            "$b/bench_startup" >/dev/null
        fonts=$(ms "$work/c$n.csv" 1) read=$(ms "$work/c$n.csv" 2) start=$(ms "$work/c$n.csv" 3)
        printf '%-8s %8s %8s %8s %9s %13s\n' "$n" "$fonts" "$read" "$start" \
            "$(ratio "$start / $fonts")" "$(ratio "$start / ($fonts + $read)")"
    )
done
