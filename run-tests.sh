#!/usr/bin/env bash
# Builds Runemark and runs the whole test suite.
#   RUNEMARK_WERROR=ON    treat warnings as errors
#   RUNEMARK_SANITIZE=ON  build and run under AddressSanitizer and UBSan
#   RUNEMARK_UNITY=ON     a unity build: about half the compile time, but a
#                         file that misses an include may still compile
#   RUNEMARK_STEPS=build  only build (=test: only run the suite; default both)
#   RUNEMARK_CTEST_ARGS   more arguments for ctest, such as "-LE once"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps

werror=${RUNEMARK_WERROR:-OFF}
sanitize=${RUNEMARK_SANITIZE:-OFF}
unity=${RUNEMARK_UNITY:-OFF}
steps=${RUNEMARK_STEPS:-all}
build="$here/build-tests"
[ "$sanitize" = ON ] && build="$here/build-asan"

if [ "$steps" != test ]; then
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
        -DRUNEMARK_WERROR="$werror" -DRUNEMARK_SANITIZE="$sanitize" -DCMAKE_UNITY_BUILD="$unity"
    cmake --build "$build" -j2
fi
[ "$steps" = build ] && exit 0
cd "$build"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
# shellcheck disable=SC2086 # the extra arguments are words on purpose
ctest --output-on-failure -j2 --timeout 120 ${RUNEMARK_CTEST_ARGS:-}
