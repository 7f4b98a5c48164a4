# Sourced by the top-level scripts: installs the Debian packages Runemark
# needs to build, run and test, when any is missing.
RUNEMARK_PACKAGES="cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
libbenchmark-dev fonts-liberation2 xvfb xauth xdg-utils darkplaces-server quakespasm \
desktop-file-utils appstream clang clang-format clang-tidy libclang-rt-14-dev hyperfine procps \
time bc dpkg-dev file lintian man-db xdotool dbus-daemon at-spi2-core python3-pyatspi fuse3 \
python3-fusepy util-linux g++-mingw-w64-x86-64-posix ninja-build weston qt6-wayland"

runemark_install_deps() {
    local missing=()
    local pkg
    for pkg in $RUNEMARK_PACKAGES; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            sudo="sudo"
        else
            echo "Runemark needs these Debian packages: ${missing[*]}" >&2
            echo "Install them as root, then run this script again:" >&2
            echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
