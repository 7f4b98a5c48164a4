#!/usr/bin/env bash
# CI: the Windows branches (Q_OS_WIN, _WIN32) still compile. Configures the
# Windows build with MinGW-w64's GCC against Debian's Qt 6 headers
# (cmake/windows/: Qt made to describe a Windows target) and runs every
# compile that build holds as a syntax check (-fsyntax-only), with its
# generated headers, moc's and rcc's output in place. The files are the
# build's own: whatever the CMake lists compile for Windows, and nothing
# they leave out (Spawn.cpp). Nothing is linked or run: no Qt for Windows is
# installed here. The tests are Linux's and are not part of it.
#   scripts/windows-check.sh [BUILD_DIR]   (default build-windows)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps
build=$(realpath -m "${1:-$here/build-windows}")

# ccache would only pass a syntax check through, uncached.
cmake -G Ninja -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/windows/Toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DRUNEMARK_TESTS=OFF -DRUNEMARK_WERROR=ON \
    -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null

# Every C++ compile of the build; ninja runs moc and rcc before the files
# that need them, as the real build would. A failed compile leaves a note
# (cmake/windows/QtForWindows.cmake); a note from an earlier run goes, with
# its object, so that the file is checked again.
mapfile -t objects < <(ninja -C "$build" -t targets all | sed -n 's/: CXX_COMPILER__.*$//p')
[ ${#objects[@]} -gt 0 ] || { echo "windows-check: the build compiles nothing" >&2; exit 1; }
find "$build" -name '*.obj.failed' -print0 | while IFS= read -r -d '' note; do
    rm -f "$note" "${note%.failed}"
done
ninja -C "$build" -k 0 -j2 "${objects[@]}"
mapfile -t failed < <(find "$build" -name '*.obj.failed' -exec cat {} + | sort)
if [ ${#failed[@]} -gt 0 ]; then
    echo "Windows syntax check: ${#failed[@]} of ${#objects[@]} compiles failed:" >&2
    printf '  %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "Windows syntax check: ${#objects[@]} compiles clean."
