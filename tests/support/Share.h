#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace testing_support {

// A real directory served as a network share (tests/support/slowshare.py over
// FUSE), mounted on a fresh directory for the life of this object. Each
// listing, or each call, can be answered late, and the share can stop
// answering and answer again, as a share whose server went away does: a
// program's call then waits in the kernel.
//
// Mounts are made only in a private mount namespace (the tests that use a
// share run under `unshare -m`, see runemark_private_mounts_test), so nothing
// else on the machine sees them; the constructor throws elsewhere.
//
// The destructor lets the share answer again before it unmounts or ends
// anything: a process waiting on a stopped FUSE call cannot be killed until
// the call is answered. Whoever kills a program that may wait on a share
// calls Share::resumeAll() first.
class Share {
  public:
    struct Latency {
        int listingMs = 0; // added to each directory listing
        int callMs = 0;    // added to every call (lookups, stats, reads...)
    };

    Share(const QString& source, Latency latency);
    explicit Share(const QString& source) : Share(source, Latency()) {}
    ~Share();
    Share(const Share&) = delete;
    Share& operator=(const Share&) = delete;

    // Where the share is mounted; it shows what `source` holds.
    QString path() const { return mount_.path(); }

    // Every call from now on waits until resume(); calls already being
    // answered finish.
    void stop();
    // Waiting calls go on; new ones are answered.
    void resume();
    void setLatency(Latency latency);
    // Listings of directories named `name` give their first `entries`
    // entries, then fail with EIO.
    void breakListings(const QString& name, int entries);
    // The calls waiting for the stopped share now.
    int blockedCalls();
    // Waits up to `timeoutMs` until at least `count` calls wait for the
    // stopped share (a program has reached it); whether they do.
    bool waitForBlockedCalls(int count, int timeoutMs);

    // Lets every share of this process answer again.
    static void resumeAll();
    // Why shares cannot be mounted here (not in a private mount namespace, no
    // /dev/fuse...), or an empty text when they can.
    static QString unavailableBecause();

  private:
    QString ask(const QByteArray& command, const QByteArray& expected);
    void unmount();

    QTemporaryDir mount_;
    QProcess server_;
};

} // namespace testing_support
