#!/usr/bin/env bash
# Builds the Debian package runemark_<version>_<arch>.deb in BUILD_DIR
# (default: build-deb), as a Release build with Debian's hardening flags.
# A package in section games keeps its program in /usr/games, as Debian's
# policy asks; the program finds its data relative to itself either way.
# Prints the package's path on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$here/build-deb}")

# dpkg-buildflags gives the flags Debian builds its own packages with
# (fortify, stack protector, relro and bind-now); CMake has no CPPFLAGS.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_INSTALL_BINDIR=games -DRUNEMARK_TESTS=OFF -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" >&2
cmake --build "$build" -j2 >&2
(cd "$build" && cpack -G DEB >&2)
ls "$build"/runemark_*.deb
