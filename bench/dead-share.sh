#!/usr/bin/env bash
# The threads Runemark holds after twenty Refreshes of a Quake directory on a
# share that stopped answering (the tests' FUSE share,
# tests/support/slowshare.py): it must stay within the storage workers'
# bound (24) over what the process holds without them. Each Refresh fails
# within the storage deadline (5 s). Runs in a private mount namespace:
# run-benchmarks.sh starts it through tests/support/private-mounts.sh.
# Usage: bench/dead-share.sh BENCH_BINARIES WORK_DIR [PATCHES]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
b=$(cd "$1" && pwd) work=$(cd "$2" && pwd) n=${3:-100}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

"$b/bench_make_tree" "$work/local" "$n"
mkdir -p "$work/served" "$work/share" "$work/start"
cp -a "$work/local/quake" "$work/served/quake"
printf '"%s"\r\n"quake"\r\n' "$work/share/quake" >"$work/start/runemark.ini"

mkfifo "$work/control" "$work/go"
/usr/bin/python3 "$here/tests/support/slowshare.py" "$work/served" "$work/share" \
    <"$work/control" >"$work/share.log" &
server=$!
exec 3>"$work/control"
stop_share() {
    echo answer >&3 || true
    exec 3>&- || true
    umount "$work/share" 2>/dev/null || umount -l "$work/share" 2>/dev/null || true
    kill "$server" 2>/dev/null || true
}
trap stop_share EXIT
for _ in $(seq 100); do
    grep -q " $work/share .* - fuse.slowshare " /proc/self/mountinfo && break
    sleep 0.1
done

(cd "$work/start" && "$b/bench_dead_share" <"$work/go" >"$work/program.log") &
program=$!
exec 4>"$work/go"
until grep -q loaded "$work/program.log" 2>/dev/null; do sleep 0.1; done
echo stop >&3
echo go >&4
until grep -q after "$work/program.log" 2>/dev/null; do sleep 0.2; done
# Its stuck calls hold the program until the share answers again.
echo answer >&3
wait "$program"
exec 4>&-
cat "$work/program.log"
