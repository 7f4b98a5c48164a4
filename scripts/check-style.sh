#!/usr/bin/env bash
# Checks the code's style: every C++ file formatted as .clang-format says,
# and clang-tidy's checks (.clang-tidy) clean on the C++ files changed since
# BASE. Without BASE, "changed" means changed since the last main that
# passed CI, whose commit .ci/green-main names (a change records there the
# main it was made on, in its first commit); when that names no ancestor of
# HEAD, the commits of the four hours up to HEAD. Tidying every file takes
# longer than CI may spend on it (about 5 s of CPU a file).
#   scripts/check-style.sh [DB_DIR [BASE]]
# DB_DIR (default build-style) is configured here, file by file with the
# tests and benchmarks, for its compile_commands.json alone: clang-tidy needs
# one command a source file, which a unity build does not list, and nothing
# of the build itself.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=$(realpath -m "${1:-$here/build-style}")
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_UNITY_BUILD=OFF \
    -DRUNEMARK_TESTS=ON -DRUNEMARK_BENCH=ON >/dev/null

mapfile -t all < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${all[@]}"
echo "Formatting: ${#all[@]} files clean."

# Commit subjects stay short enough to read in one line of a log; older
# history (up to 228a448) predates the rule.
range=HEAD
git rev-parse -q --verify 228a448^{commit} >/dev/null && range=228a448..HEAD
long=$(git log --format='%s' "$range" | awk 'length($0) > 72' || true)
if [ -n "$long" ]; then
    echo "Commit subjects over 72 characters:" >&2
    echo "$long" >&2
    exit 1
fi

base=${2:-}
if [ -z "$base" ] && [ -f .ci/green-main ]; then
    green=$(tr -d '[:space:]' <.ci/green-main)
    if git merge-base --is-ancestor "$green" HEAD 2>/dev/null; then
        base=$green
    fi
fi
if [ -z "$base" ]; then
    since=$(( $(git log -1 --format=%ct HEAD) - 4 * 3600 ))
    base=$(git log --format=%H --since="@$since" | tail -1)
    base=$(git rev-parse -q --verify "$base^" || git hash-object -t tree /dev/null)
fi
mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" HEAD -- \
    'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' | grep -v '^fuzz/' || true)
# Only what the build compiles can be tidied (the fuzzers are clang's own).
compiled=()
for file in "${changed[@]}"; do
    if grep -q "\"file\": \"$here/$file\"" "$build/compile_commands.json"; then
        compiled+=("$file")
    fi
done
changed=("${compiled[@]}")
if [ ${#changed[@]} -eq 0 ]; then
    echo "clang-tidy: no C++ file changed."
    exit 0
fi
echo "clang-tidy: ${#changed[@]} changed files."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${changed[@]}" | xargs -P 2 -n 1 clang-tidy -p "$build" --quiet >"$log" 2>&1 ||
    status=$?
grep -v -e '^[0-9]* warnings generated' -e '^Suppressed [0-9]* warnings' \
    -e '^Use -header-filter' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "clang-tidy: findings above." >&2
    exit 1
fi
echo "clang-tidy: clean."
