#!/usr/bin/env bash
# Builds Runemark and runs the whole test suite.
#   RUNEMARK_WERROR=ON    treat warnings as errors
#   RUNEMARK_SANITIZE=ON  build and run under AddressSanitizer and UBSan
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps

werror=${RUNEMARK_WERROR:-OFF}
sanitize=${RUNEMARK_SANITIZE:-OFF}
build="$here/build-tests"
[ "$sanitize" = ON ] && build="$here/build-asan"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DRUNEMARK_WERROR="$werror" -DRUNEMARK_SANITIZE="$sanitize"
cmake --build "$build" -j2
cd "$build"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
ctest --output-on-failure -j2 --timeout 120
