#include "platform/Spawn.h"

// Programs are started by hand here rather than through QProcess: a QProcess
// ends its child when it is destroyed, and startDetached() starts a child of
// a throw-away process, so the launcher never learns how it ended. To report
// a game that fails at once the launcher must be the game's parent, yet leave
// it alone afterwards: its own session, its output in a file (never a pipe,
// which breaks and kills a game that writes for hours once the launcher is
// gone), nothing waited for.

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>
#include <vector>

extern char** environ;

namespace platform {

namespace {

// How long the start waits to hear that the child runs the program. The
// child enters its working directory first, which on storage that stops
// answering can take forever; past this the start returns, and a child that
// fails later ends with status 127, which the watch reports.
constexpr int ExecWaitMs = 2000;

// Why a child could not become the program, sent over a pipe that closes
// when the program runs.
enum Stage : int { EnterDirectory = 1, RunProgram = 2 };
struct ChildFailure {
    int stage;
    int error;
};

// Owns a descriptor.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// A descriptor moved above the standard three (close-on-exec kept): when the
// launcher was started with them closed, open() hands them out, and the
// child's dup2() onto 0, 1 and 2 would clobber one with another.
int aboveStandard(int fd) {
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

// The log, replaced: a program still writing to the previous one keeps
// writing to its own (now nameless) file, so one program's lines never show
// in another's report. O_NOFOLLOW|O_EXCL: never written through a link.
Fd openLog(const QString& path, QString* issue) {
    if (path.isEmpty())
        return Fd();
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) {
        *issue = QStringLiteral("cannot create the directory ") + nativePath(dir);
        return Fd();
    }
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        *issue = nativePath(path) + QStringLiteral(": ") + systemReason(errno);
        return Fd();
    }
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *issue = nativePath(path) + QStringLiteral(": ") + systemReason(errno);
        return Fd();
    }
    return Fd(aboveStandard(fd));
}

bool makePipe(int fds[2]) {
#ifdef __linux__
    return ::pipe2(fds, O_CLOEXEC) == 0;
#else
    if (::pipe(fds) != 0)
        return false;
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    return true;
#endif
}

// A descriptor that becomes readable when the process ends (Linux 5.3 on);
// -1 where there is none.
int processDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    Q_UNUSED(pid);
    return -1;
#endif
}

// From fork() to exec only async-signal-safe calls: the launcher has other
// threads, whose locks (the allocator's among them) may be held at the fork.
[[noreturn]] void failChild(int report, int stage, int error) {
    const ChildFailure failure{stage, error};
    const ssize_t written = ::write(report, &failure, sizeof failure);
    static_cast<void>(written);
    ::_exit(127);
}

[[noreturn]] void runChild(char* const* argv, char* const* shellArgv, const char* directory,
                           int input, int output, int report) {
    ::setsid();
    if (directory[0] != '\0' && ::chdir(directory) != 0)
        failChild(report, EnterDirectory, errno);
    ::dup2(input, STDIN_FILENO);
    if (output >= 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
    }
#ifdef SYS_close_range
    // Nothing of the launcher's (its X connection, its files) reaches the
    // program, whether or not it was opened close-on-exec.
    constexpr unsigned closeRangeCloexec = 1U << 2;
    ::syscall(SYS_close_range, 3U, ~0U, closeRangeCloexec);
#endif
    resetSignalsForProgram();
    ::execve(argv[0], argv, environ);
    // A script without a "#!" line: run by the shell, as execvp() and a
    // shell do.
    if (errno == ENOEXEC)
        ::execve(shellArgv[0], shellArgv, environ);
    failChild(report, RunProgram, errno);
}

// True when the program runs (or the wait ran out); false with `failure`
// filled when the child said why it could not run it.
bool awaitExec(int report, ChildFailure* failure) {
    pollfd readable{report, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&readable, 1, ExecWaitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return true;
    ssize_t got = 0;
    do {
        got = ::read(report, failure, sizeof *failure);
    } while (got < 0 && errno == EINTR);
    return got != static_cast<ssize_t>(sizeof *failure);
}

// Watches one child until it ends, and reaps it then. It belongs to the
// application object, so a watch still running when the launcher ends is
// freed with it, and the program goes on untouched.
class ChildWatch : public QObject {
  public:
    ChildWatch(pid_t pid, ProgramEnd end, const StartWatch& watch, Fd report)
        : QObject(QCoreApplication::instance()), pid_(pid), end_(std::move(end)),
          failed_(watch.failed), report_(std::move(report)) {
        pidfd_ = processDescriptor(pid);
        if (pidfd_ >= 0) {
            notifier_ = new QSocketNotifier(pidfd_, QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, [this] { check(); });
        } else {
            // No process descriptors (an older kernel, a sandbox that
            // refuses them): the child is asked, often while watched, seldom
            // after.
            poll_ = new QTimer(this);
            connect(poll_, &QTimer::timeout, this, [this] { check(); });
            poll_->start(100);
        }
        // A program found ended when the watch runs out ended within it,
        // however late the event loop came round to it.
        QTimer::singleShot(watch.within, this, [this] {
            check();
            watching_ = false;
            if (poll_)
                poll_->setInterval(2000);
        });
    }
    ~ChildWatch() override {
        delete notifier_;
        if (pidfd_ >= 0)
            ::close(pidfd_);
    }
    ChildWatch(const ChildWatch&) = delete;
    ChildWatch& operator=(const ChildWatch&) = delete;

  private:
    void check() {
        if (ended_)
            return;
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == 0 || (reaped < 0 && errno == EINTR))
            return;
        ended_ = true;
        if (notifier_)
            notifier_->setEnabled(false);
        if (poll_)
            poll_->stop();
        deleteLater();
        const bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (reaped != pid_ || !watching_ || succeeded || !failed_)
            return;
        end_.signalled = WIFSIGNALED(status);
        end_.code = end_.signalled ? WTERMSIG(status) : WEXITSTATUS(status);
        if (!end_.log.isEmpty())
            end_.lastLines = lastLinesOf(end_.log);
        failed_(end_);
    }

    pid_t pid_;
    ProgramEnd end_;
    std::function<void(const ProgramEnd&)> failed_;
    // Kept open while the child lives, so a late word on it never meets a
    // closed pipe.
    Fd report_;
    int pidfd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* poll_ = nullptr;
    bool watching_ = true;
    bool ended_ = false;
};

} // namespace

void resetSignalsForProgram() {
    // Handlers first: a signal that arrives, or waits, while the mask is
    // lifted must meet the default action, never the launcher's handler in
    // a copy of the launcher.
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

void spawnWatched(const QStringList& words, const QString& workingDirectory,
                  const StartWatch& watch) {
    const QString program = nativePath(words.first());
    const QString cannotStart = QStringLiteral("Cannot start");

    // All the child needs is made before the fork.
    QByteArrayList encoded;
    for (const QString& word : words)
        encoded.append(QFile::encodeName(word));
    std::vector<char*> argv;
    for (QByteArray& word : encoded)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    static char shell[] = "/bin/sh";
    std::vector<char*> shellArgv{shell};
    shellArgv.insert(shellArgv.end(), argv.begin(), argv.end());
    const QByteArray directory = QFile::encodeName(workingDirectory);

    ProgramEnd end;
    end.program = program;
    const Fd output = openLog(watch.log, &end.logIssue);
    if (output.get() >= 0)
        end.log = nativePath(watch.log);
    const Fd input(aboveStandard(::open("/dev/null", O_RDONLY | O_CLOEXEC)));
    if (input.get() < 0)
        throw Error(cannotStart, program, systemReason(errno));
    int fds[2];
    if (!makePipe(fds))
        throw Error(cannotStart, program, systemReason(errno));
    Fd report(aboveStandard(fds[0]));
    Fd reportEnd(aboveStandard(fds[1]));

    const pid_t pid = ::fork();
    if (pid < 0)
        throw Error(cannotStart, program, systemReason(errno));
    if (pid == 0)
        runChild(argv.data(), shellArgv.data(), directory.constData(), input.get(), output.get(),
                 reportEnd.get());

    reportEnd.reset();
    ChildFailure failure{};
    if (!awaitExec(report.get(), &failure)) {
        ::waitpid(pid, nullptr, 0); // it has ended already, at _exit
        if (failure.stage == EnterDirectory)
            throw Error(QStringLiteral("Cannot change to the directory"),
                        nativePath(workingDirectory), systemReason(failure.error));
        throw Error(cannotStart, program, systemReason(failure.error));
    }
    if (QCoreApplication::instance())
        new ChildWatch(pid, std::move(end), watch, std::move(report));
}

} // namespace platform
