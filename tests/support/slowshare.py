#!/usr/bin/python3
"""A network share for the tests: a directory served over FUSE, late or not at all.

Serves SOURCE, a real directory, at MOUNTPOINT, passing every call through.
Each directory listing can be answered late (a share over Wi-Fi or a VPN),
every call too, and the whole share can stop answering and answer again on
cue, as a share whose server went away does: a stopped call waits in the
kernel until the share answers again. Calls are served on many threads, so
listings asked for at once are waited for at once, as on a real server.

    slowshare.py SOURCE MOUNTPOINT [--listing-ms N] [--call-ms N] [--control none]

It mounts in the foreground and prints "mounted" once the kernel talks to
it. Unless --control none, it reads commands on its standard input, one a
line, and prints "ok COMMAND" once each holds:

    stop                 every call from now on waits (calls in progress finish)
    answer               waiting calls go on, new ones are answered
    latency LIST [CALL]  milliseconds added to each listing (and to every call)
    blocked              prints "blocked N": calls waiting for the share now
    break NAME N         a listing of a directory named NAME gives its first N
                         entries, then fails with EIO, as a disk's bad sector

When its standard input ends (the test that started it is gone), it answers
again and leaves, so no process stays stuck on it. It also leaves when the
mount point is unmounted. Run it in a private mount namespace (unshare -m)
as root; Debian's fuse3 and python3-fusepy provide what it needs.
"""

import argparse
import errno
import os
import signal
import stat
import sys
import threading
import time

import fusepy


class SlowShare(fusepy.Operations):
    # Asked by the kernel alone; a stopped share still lets it mount and unmount.
    UNGATED = ("init", "destroy")
    use_ns = True

    def __init__(self, source, listing_ms, call_ms):
        self.source = os.path.realpath(source)
        self.listing = listing_ms / 1000.0
        self.call = call_ms / 1000.0
        self.answering = threading.Event()
        self.answering.set()
        self.counting = threading.Lock()
        self.blocked = 0
        self.broken = {}  # directory name: entries given before the listing fails
        self.handles = 0
        self.served = set()

    def __call__(self, op, *args):
        if op not in self.UNGATED:
            if not self.answering.is_set():
                with self.counting:
                    self.blocked += 1
                # A dead server's client waits as long as it takes.
                self.answering.wait()
                with self.counting:
                    self.blocked -= 1
            delay = self.call + (self.listing if op == "readdir" else 0.0)
            if delay > 0:
                time.sleep(delay)
        if not hasattr(self, op):
            raise fusepy.FuseOSError(errno.ENOSYS)
        try:
            return getattr(self, op)(*args)
        except OSError as error:
            raise fusepy.FuseOSError(error.errno or errno.EIO) from None

    def real(self, path):
        return self.source + path

    # The kernel is told it can talk to us: the test may go on.
    def init(self, path):
        print("mounted", flush=True)

    def getattr(self, path, fh=None):
        st = os.fstat(fh) if fh is not None else os.lstat(self.real(path))
        attrs = {key: getattr(st, key) for key in (
            "st_mode", "st_ino", "st_nlink", "st_uid", "st_gid", "st_size")}
        attrs.update(st_atime=st.st_atime_ns, st_mtime=st.st_mtime_ns, st_ctime=st.st_ctime_ns)
        return attrs

    def readdir(self, path, fh):
        # Each entry's type goes with its name, as a real server's READDIRPLUS
        # would, so that a listing is one call and not one per entry.
        entries = [(".", {"st_mode": stat.S_IFDIR}, 0), ("..", {"st_mode": stat.S_IFDIR}, 0)]
        with os.scandir(self.real(path)) as listing:
            for entry in listing:
                if entry.is_symlink():
                    mode = stat.S_IFLNK
                elif entry.is_dir(follow_symlinks=False):
                    mode = stat.S_IFDIR
                elif entry.is_file(follow_symlinks=False):
                    mode = stat.S_IFREG
                else:
                    mode = stat.S_IFMT(entry.stat(follow_symlinks=False).st_mode)
                entries.append((entry.name, {"st_mode": mode, "st_ino": entry.inode()}, 0))
        broken = self.broken_listing(path, fh, entries)
        return entries if broken is None else broken

    def opendir(self, path):
        with self.counting:
            self.handles += 1
            return self.handles

    def releasedir(self, path, fh):
        with self.counting:
            self.served.discard(fh)
        return 0

    def broken_listing(self, path, fh, entries):
        """The first entries of a listing that fails part way, or None."""
        given = self.broken.get(os.path.basename(path))
        if given is None:
            return None
        with self.counting:
            again = fh in self.served
            self.served.add(fh)
        if again:
            raise OSError(errno.EIO, "listing broken on cue")
        # With offsets the kernel asks for the rest in a call of its own.
        return [(name, attrs, i + 1) for i, (name, attrs, _) in enumerate(entries[:given + 2])]

    def readlink(self, path):
        return os.readlink(self.real(path))

    def statfs(self, path):
        st = os.statvfs(self.real(path))
        return {key: getattr(st, key) for key in (
            "f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail", "f_files",
            "f_ffree", "f_favail", "f_flag", "f_namemax")}

    def access(self, path, amode):
        if not os.access(self.real(path), amode):
            raise fusepy.FuseOSError(errno.EACCES)

    def open(self, path, flags):
        return os.open(self.real(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self.real(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        if fh is not None:
            os.ftruncate(fh, length)
        else:
            os.truncate(self.real(path), length)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        if datasync:
            os.fdatasync(fh)
        else:
            os.fsync(fh)

    def release(self, path, fh):
        os.close(fh)

    def mkdir(self, path, mode):
        os.mkdir(self.real(path), mode)

    def rmdir(self, path):
        os.rmdir(self.real(path))

    def unlink(self, path):
        os.unlink(self.real(path))

    def rename(self, old, new):
        os.rename(self.real(old), self.real(new))

    def symlink(self, target, source):
        os.symlink(source, self.real(target))

    def link(self, target, source):
        os.link(self.real(source), self.real(target))

    def chmod(self, path, mode):
        os.chmod(self.real(path), mode)

    def chown(self, path, uid, gid):
        os.chown(self.real(path), uid, gid, follow_symlinks=False)

    def utimens(self, path, times=None):
        os.utime(self.real(path), ns=times, follow_symlinks=False)


def obey(share, commands, replies):
    """Carries out the commands read from `commands` until it ends."""
    for line in commands:
        words = line.split()
        if not words:
            continue
        if words[0] == "stop":
            share.answering.clear()
        elif words[0] == "answer":
            share.answering.set()
        elif words[0] == "latency" and len(words) in (2, 3):
            share.listing = float(words[1]) / 1000.0
            share.call = float(words[2]) / 1000.0 if len(words) == 3 else 0.0
        elif words[0] == "break" and len(words) == 3:
            share.broken[words[1]] = int(words[2])
        elif words[0] == "blocked":
            with share.counting:
                print("blocked %d" % share.blocked, file=replies, flush=True)
            continue
        else:
            print("unknown %s" % line.strip(), file=replies, flush=True)
            continue
        print("ok %s" % words[0], file=replies, flush=True)
    # Whoever could tell us to answer again is gone: answer, and leave. The
    # library's own handler of SIGTERM ends the loop and unmounts.
    share.answering.set()
    os.kill(os.getpid(), signal.SIGTERM)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("mountpoint")
    parser.add_argument("--listing-ms", type=float, default=0.0)
    parser.add_argument("--call-ms", type=float, default=0.0)
    parser.add_argument("--control", choices=("stdin", "none"), default="stdin")
    options = parser.parse_args()
    share = SlowShare(options.source, options.listing_ms, options.call_ms)
    if options.control == "stdin":
        threading.Thread(target=obey, args=(share, sys.stdin, sys.stdout), daemon=True).start()
    # No caching in the kernel: every lookup reaches the server, as on a
    # hard-mounted share whose server must be asked (and can stop answering).
    mount_options = dict(fsname="slowshare", subtype="slowshare", attr_timeout=0,
                         entry_timeout=0, negative_timeout=0, use_ino=True)
    if os.geteuid() == 0:
        # Users other than root (tests rerun as "nobody") reach it too, with
        # the permissions of the directory it serves.
        mount_options.update(allow_other=True, default_permissions=True)
    fusepy.FUSE(share, options.mountpoint, foreground=True, nothreads=False, **mount_options)


if __name__ == "__main__":
    main()
