#!/usr/bin/env bash
# The slow-share case of bench/run-benchmarks.sh: 1,000 patches on a share
# that answers each directory listing 5 ms late (a share over Wi-Fi or a
# VPN), served by the tests' FUSE share (tests/support/slowshare.py). It
# measures what the share adds to start-up (exec to a shown, filled and
# painted window, on the share, minus the same on a local copy of the tree)
# against two floors measured in the same run: the share's sub-directories
# read one at a time, and read with 16 listings in flight.
# Runs in a private mount namespace: run-benchmarks.sh starts it through
# tests/support/private-mounts.sh.
# Usage: bench/slow-share.sh BENCH_BINARIES WORK_DIR [PATCHES] [LISTING_MS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
b=$(cd "$1" && pwd) work=$(cd "$2" && pwd) n=${3:-1000} late=${4:-5}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

"$b/bench_make_tree" "$work/local" "$n"
mkdir -p "$work/served" "$work/share" "$work/start"
cp -a "$work/local/quake" "$work/served/quake"
printf '"%s"\r\n"quake -listen # +map #"\r\n' "$work/share/quake" >"$work/start/runemark.ini"

/usr/bin/python3 "$here/tests/support/slowshare.py" "$work/served" "$work/share" \
    --listing-ms "$late" --control none >/dev/null &
server=$!
stop_share() {
    umount "$work/share" 2>/dev/null || umount -l "$work/share" 2>/dev/null || true
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
}
trap stop_share EXIT
mounted() { grep -q " $work/share .* - fuse.slowshare " /proc/self/mountinfo; }
for _ in $(seq 100); do
    mounted && break
    sleep 0.1
done
mounted || {
    echo "the share did not mount" >&2
    exit 1
}

# Median seconds of row $2 of hyperfine's CSV $1, in milliseconds.
ms() { awk -F, -v row="$2" 'NR==row+1 {printf "%.1f", $4*1000}' "$1"; }
ratio() { printf '%.2f' "$(echo "$1" | bc -l)"; }

(cd "$work/local" && hyperfine -N --warmup 3 --runs 15 --export-csv "$work/local.csv" \
    "$b/bench_startup" >/dev/null)
(cd "$work/start" && hyperfine -N --warmup 1 --runs 5 --export-csv "$work/share.csv" \
    "$b/bench_startup" >/dev/null)
hyperfine -N --warmup 1 --runs 5 --export-csv "$work/floors.csv" \
    "$b/bench_read_floor $work/share/quake" "$b/bench_read_floor --in-flight 16 $work/share/quake" \
    >/dev/null
local=$(ms "$work/local.csv" 1) share=$(ms "$work/share.csv" 1)
serial=$(ms "$work/floors.csv" 1) flight=$(ms "$work/floors.csv" 2)
added=$(printf '%.1f' "$(echo "$share - $local" | bc -l)")
printf '%-8s %9s %8s %8s %8s %8s %12s %14s\n' subdirs "ms/list" local share added serial \
    "16 in flight" "added/16 (≤1.5)"
printf '%-8s %9s %8s %8s %8s %8s %12s %14s\n' "$n" "$late" "$local" "$share" "$added" "$serial" \
    "$flight" "$(ratio "$added / $flight")"
echo "added / serial floor: $(ratio "$added / $serial")"
