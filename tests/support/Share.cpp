#include "support/Share.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <mutex>
#include <set>
#include <stdexcept>

#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>

namespace testing_support {

namespace {

std::mutex registryLock;
std::set<Share*>& registry() {
    static std::set<Share*> shares;
    return shares;
}

// Whether `mountPoint` is in this namespace's mount table. The table is read
// rather than the mount point stat'ed: a share that does not answer would
// hold the stat.
bool isMounted(const QString& mountPoint) {
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = ' ' + QFile::encodeName(mountPoint) + ' ';
    for (const QByteArray& line : table.readAll().split('\n')) {
        if (line.contains(wanted) && line.contains(" - fuse.slowshare "))
            return true;
    }
    return false;
}

std::runtime_error failure(const QString& what) {
    return std::runtime_error(("share: " + what).toStdString());
}

} // namespace

QString Share::unavailableBecause() {
    // The namespace private-mounts.sh left behind; ours must be another.
    const QByteArray outer = qgetenv("RUNEMARK_OUTER_MOUNT_NAMESPACE");
    char here[64] = {};
    const ssize_t length = ::readlink("/proc/self/ns/mnt", here, sizeof here - 1);
    if (outer.isEmpty() || length <= 0 || QByteArray(here, int(length)) == outer)
        return QStringLiteral("not in a private mount namespace: run the test under "
                              "tests/support/private-mounts.sh (ctest does)");
    if (!QFileInfo::exists(QStringLiteral("/dev/fuse")))
        return QStringLiteral("no /dev/fuse");
    if (!QFileInfo::exists(QStringLiteral(RUNEMARK_SYSTEM_PYTHON)))
        return QStringLiteral("no " RUNEMARK_SYSTEM_PYTHON " (with python3-fusepy)");
    return {};
}

Share::Share(const QString& source, Latency latency) {
    if (const QString why = unavailableBecause(); !why.isEmpty())
        throw failure(why);
    if (!mount_.isValid())
        throw failure(QStringLiteral("cannot make a mount point"));
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(QStringLiteral(RUNEMARK_SYSTEM_PYTHON),
                  {QStringLiteral(RUNEMARK_SOURCE_DIR "/tests/support/slowshare.py"), source,
                   mount_.path(), QStringLiteral("--listing-ms"),
                   QString::number(latency.listingMs), QStringLiteral("--call-ms"),
                   QString::number(latency.callMs)});
    if (!server_.waitForStarted(10000))
        throw failure(QStringLiteral("cannot start the server: ") + server_.errorString());
    // The server says "mounted" once the kernel talks to it.
    QByteArray said;
    const QDeadlineTimer deadline(20000);
    while (!said.contains("mounted\n") && !deadline.hasExpired()) {
        if (!server_.waitForReadyRead(int(deadline.remainingTime())))
            break;
        said += server_.readAll();
    }
    // The kernel answers INIT only once the mount is in place; the table
    // says so too, before anyone uses the mount point.
    while (!isMounted(mount_.path()) && !deadline.hasExpired())
        QThread::msleep(10);
    if (!isMounted(mount_.path())) {
        server_.kill();
        server_.waitForFinished();
        throw failure("not mounted on " + mount_.path() + "; the server said " +
                      QString::fromLocal8Bit(said));
    }
    const std::lock_guard hold(registryLock);
    registry().insert(this);
}

Share::~Share() {
    {
        const std::lock_guard hold(registryLock);
        registry().erase(this);
    }
    // Answer first: a process waiting on the share can end only once its
    // call is answered, and an unmount would wait for it too.
    if (server_.state() == QProcess::Running) {
        try {
            resume();
        } catch (const std::exception&) {
            // The server is beyond telling; ending it below answers every
            // waiting call with an error.
        }
    }
    // Told its input ended, the server unmounts and leaves by itself (the
    // mount detached if a process still stands inside it).
    server_.closeWriteChannel();
    if (!server_.waitForFinished(10000)) {
        unmount();
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished();
        }
    }
    if (isMounted(mount_.path()))
        unmount();
}

void Share::unmount() {
    const QByteArray where = QFile::encodeName(mount_.path());
    // A program that still stands inside (its current directory, an open
    // file) keeps the mount busy: detach it then, it goes once they leave.
    if (::umount2(where.constData(), 0) != 0 && errno == EBUSY)
        ::umount2(where.constData(), MNT_DETACH);
}

QString Share::ask(const QByteArray& command, const QByteArray& expected) {
    if (server_.state() != QProcess::Running)
        throw failure(QStringLiteral("the server is gone"));
    server_.write(command + '\n');
    server_.waitForBytesWritten(5000);
    QByteArray said;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (!server_.canReadLine() && !server_.waitForReadyRead(int(deadline.remainingTime())))
            break;
        while (server_.canReadLine()) {
            const QByteArray line = server_.readLine().trimmed();
            if (line.startsWith(expected))
                return QString::fromLatin1(line.mid(expected.size()).trimmed());
            said += line + ' ';
        }
    }
    throw failure("no answer to " + QString::fromLatin1(command) + "; the server said " +
                  QString::fromLocal8Bit(said));
}

void Share::stop() {
    ask("stop", "ok stop");
}

void Share::resume() {
    ask("answer", "ok answer");
}

void Share::setLatency(Latency latency) {
    ask("latency " + QByteArray::number(latency.listingMs) + ' ' +
            QByteArray::number(latency.callMs),
        "ok latency");
}

void Share::breakListings(const QString& name, int entries) {
    ask("break " + QFile::encodeName(name) + ' ' + QByteArray::number(entries), "ok break");
}

int Share::blockedCalls() {
    return ask("blocked", "blocked").toInt();
}

bool Share::waitForBlockedCalls(int count, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (blockedCalls() >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}

void Share::resumeAll() {
    const std::lock_guard hold(registryLock);
    for (Share* share : registry()) {
        try {
            share->resume();
        } catch (const std::exception&) {
            // Its destructor ends the server, which answers every call.
        }
    }
}

} // namespace testing_support
