#!/usr/bin/env bash
# Builds Runemark and starts it on a generated demo Quake directory.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps

build="$here/build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUNEMARK_TESTS=OFF
cmake --build "$build" -j2 --target runemark quake-standin
"$here/scripts/make-demo.sh" "$build/demo" "$build/demo/quake-standin"

# The runemark.ini in the directory Runemark starts in is the one it uses.
cd "$build/demo"
exec "$build/src/runemark"
