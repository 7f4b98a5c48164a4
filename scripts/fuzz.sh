#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# from the committed seed corpus. Usage: scripts/fuzz.sh [SECONDS_EACH]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
. "$here/scripts/deps.sh"
runemark_install_deps
build="$here/build-fuzz"
cmake -S "$here/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets=(settings split wildcard resolve keyvalues pak entities)
# Each fuzzer runs on one core: as many at once as there are cores, so the
# time each gets is its own, not shared.
jobs=$(nproc)
run_one() {
    local target=$1
    mkdir -p "$work/$target"
    cp "$here/fuzz/corpus/$target/"* "$work/$target/"
    local status=0
    "$build/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$work/$target-" "$work/$target" >"$work/$target.log" 2>&1 || status=$?
    echo "$status" >"$work/$target.status"
}
running=0
for target in "${targets[@]}"; do
    echo "== fuzz_$target for ${seconds}s"
    run_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait
passed=0
failed=0
for target in "${targets[@]}"; do
    echo "== fuzz_$target"
    grep -E "stat::number_of_executed_units|SUMMARY" "$work/$target.log" || true
    if [ "$(cat "$work/$target.status")" -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        tail -40 "$work/$target.log"
        for crash in "$work/$target-"*; do
            [ -e "$crash" ] && { echo "input:"; od -c "$crash" | head -20; }
        done
    fi
done
echo "fuzzing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
