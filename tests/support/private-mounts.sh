#!/bin/sh
# Runs a command in a mount namespace of its own, with every mount private to
# it: what the command mounts (a FUSE share that stops answering, say) no
# other process on the machine sees, and it all goes when the command ends.
# As root (CI) that is `unshare --mount`; otherwise a user namespace of our
# own, where we are root, when the kernel allows one. Where neither works the
# test is skipped (ctest's SKIP_RETURN_CODE 77), unless RUNEMARK_REQUIRE_SHARES
# is set (CI), which makes that a failure.
#   private-mounts.sh COMMAND [ARGUMENT...]
outer=$(readlink /proc/self/ns/mnt)
skip=77
[ -n "${RUNEMARK_REQUIRE_SHARES:-}" ] && skip=1
if [ ! -c /dev/fuse ] || [ ! -r /dev/fuse ] || [ ! -w /dev/fuse ]; then
    echo "no /dev/fuse to open here (modprobe fuse; as root): the tests of shares cannot run" >&2
    exit $skip
fi
if [ "$(id -u)" -eq 0 ]; then
    set -- unshare --mount --propagation private -- "$@"
elif unshare --user --map-root-user --mount true 2>/dev/null; then
    set -- unshare --user --map-root-user --mount --propagation private -- "$@"
else
    echo "neither root nor user namespaces: no private mount namespace for the tests of shares" >&2
    exit $skip
fi
# Share (tests/support/Share.h) mounts only where this namespace differs.
RUNEMARK_OUTER_MOUNT_NAMESPACE=$outer exec "$@"
