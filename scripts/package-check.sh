#!/usr/bin/env bash
# CI: builds the Debian package, checks it with lintian, installs it with
# dpkg, runs the installed program (--version, then its window under Xvfb)
# and removes the package again. Needs root, for dpkg.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/deps.sh"
runemark_install_deps

deb=$("$here/scripts/build-deb.sh" "$here/build-deb" | tail -n 1)
version=$(dpkg-deb -f "$deb" Version)
echo "== $deb"
dpkg-deb -f "$deb" Package Version Section Depends Recommends
dpkg-deb -c "$deb"

fail() {
    echo "package-check: $*" >&2
    exit 1
}

# The README explains each tag lintian may still print; errors fail the check.
echo "== lintian"
lintian_ok=yes
report=$(lintian --pedantic --display-info --fail-on error "$deb" 2>&1) || lintian_ok=no
grep -v '^running with root privileges' <<<"$report" || true
[ "$lintian_ok" = yes ] || fail "lintian reports errors"

# The manual page must render without complaints from groff.
man_warnings=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man6/runemark.6.gz |
    zcat | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "the manual page has warnings: $man_warnings"

echo "== dpkg -i"
dpkg -i "$deb"
trap 'dpkg -r runemark >/dev/null 2>&1 || true' EXIT
# Games live in /usr/games, on users' PATH but not on root's.
program=/usr/games/runemark
[ -x "$program" ] || fail "$program is not installed"
[ "$(env -u DISPLAY "$program" --version)" = "Runemark $version" ] ||
    fail "runemark --version does not print Runemark $version"

# A first run in an empty directory: the window must come up with its title.
echo "== window under Xvfb"
start=$(mktemp -d)
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    set -eu
    cd "$1"
    "$2" & app=$!
    timeout 30 xdotool search --sync --onlyvisible --name "^Runemark\$" >/dev/null || { kill $app; exit 1; }
    kill -0 $app   # still running, window shown
    kill $app
    wait $app || true
' _ "$start" "$program" || fail "the installed program did not show its window"
[ -z "$(ls -A "$start")" ] || fail "runemark wrote into its start directory: $(ls -A "$start")"
rm -rf "$start"

echo "== dpkg -r"
dpkg -r runemark
trap - EXIT
[ ! -e "$program" ] && [ ! -e /usr/share/man/man6/runemark.6.gz ] ||
    fail "dpkg -r left files behind"
echo "package-check: all good"
