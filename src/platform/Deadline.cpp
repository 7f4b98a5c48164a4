#include "platform/Deadline.h"

#include "platform/Drives.h"
#include "platform/Paths.h"

#include <QDir>
#include <QHash>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

using Clock = std::chrono::steady_clock;

namespace detail {

// One call handed to the workers. Its fields are guarded by the worker
// set's lock.
struct Ticket {
    QString place;
    bool begun = false;
    bool ended = false;
    bool abandoned = false;
};

} // namespace detail

namespace {

// Plain atomics: trivially destroyed, so a call that returns while the
// process exits finds them still there.
std::atomic<long long> deadlineMilliseconds{5000};
thread_local bool storageThread = false;

struct Task {
    std::shared_ptr<detail::Ticket> ticket;
    std::function<void()> work;
};

// The storage workers: made when a call finds none free, up to
// StorageWorkerBound, and kept for the life of the process. A pool rather
// than a thread per call: a thread per call that the kernel holds for good
// is never given back, and a player who retries a dead share would pile
// them up until no thread could be made at all.
class Workers {
  public:
    std::shared_ptr<detail::Ticket> submit(const QString& dir, std::function<void()> work,
                                           detail::Start start) {
        auto ticket = std::make_shared<detail::Ticket>();
        if (!dir.isEmpty())
            ticket->place = detail::placeOf(dir);
        std::unique_lock<std::mutex> hold(lock_);
        if (!ticket->place.isEmpty() && stuck_.value(ticket->place) > 0) {
            if (start == detail::Start::NowOrNever)
                return nullptr;
            hold.unlock();
            throw notAnswering(dir);
        }
        const bool free = idle_ > static_cast<int>(queue_.size());
        QString whyNone;
        if (!free && threads_ < StorageWorkerBound && !makeWorker(&whyNone)) {
            // Made once and kept, so this is a process at its thread limit
            // from the start; a call may still wait for a busy worker.
            if (start == detail::Start::NowOrNever)
                return nullptr;
            if (threads_ == 0) {
                hold.unlock();
                throw Error(QStringLiteral("Cannot read"), nativePath(dir),
                            QStringLiteral("No thread can be made to read it (%1)").arg(whyNone));
            }
        } else if (!free && start == detail::Start::NowOrNever && threads_ >= StorageWorkerBound) {
            return nullptr;
        }
        queue_.push_back({ticket, std::move(work)});
        ++calls_;
        wake_.notify_one();
        return ticket;
    }

    bool waitUntil(const detail::Ticket& ticket, Clock::time_point until) {
        std::unique_lock<std::mutex> hold(lock_);
        return ended_.wait_until(hold, until, [&] { return ticket.ended; });
    }

    bool abandon(const std::shared_ptr<detail::Ticket>& ticket) {
        Task dropped; // what it holds goes once the lock is let go
        const std::lock_guard<std::mutex> hold(lock_);
        if (!ticket->begun) {
            for (auto it = queue_.begin(); it != queue_.end(); ++it) {
                if (it->ticket == ticket) {
                    dropped = std::move(*it);
                    queue_.erase(it);
                    --calls_;
                    break;
                }
            }
            ticket->ended = true;
            return false;
        }
        if (!ticket->ended && !ticket->abandoned && !ticket->place.isEmpty()) {
            ticket->abandoned = true;
            ++stuck_[ticket->place];
        }
        return true;
    }

    int threads() {
        const std::lock_guard<std::mutex> hold(lock_);
        return threads_;
    }
    int calls() {
        const std::lock_guard<std::mutex> hold(lock_);
        return calls_;
    }
    void failCreation(bool fail) {
        const std::lock_guard<std::mutex> hold(lock_);
        failCreation_ = fail;
        wake_.notify_all();
    }

  private:
    // Called with the lock held; the new worker needs it only once it runs.
    bool makeWorker(QString* whyNot) {
        try {
            if (failCreation_)
                throw std::system_error(EAGAIN, std::generic_category());
            std::thread([this] { serve(); }).detach();
        } catch (const std::system_error& error) {
            *whyNot = QString::fromLocal8Bit(error.what());
            return false;
        }
        ++threads_;
        return true;
    }

    void serve() {
        storageThread = true;
        std::unique_lock<std::mutex> hold(lock_);
        for (;;) {
            ++idle_;
            wake_.wait(hold, [this] { return !queue_.empty() || failCreation_; });
            --idle_;
            if (queue_.empty()) { // told to leave
                --threads_;
                return;
            }
            Task task = std::move(queue_.front());
            queue_.pop_front();
            task.ticket->begun = true;
            hold.unlock();
            task.work();
            task.work = nullptr; // what it held goes before the call counts as ended
            hold.lock();
            task.ticket->ended = true;
            if (task.ticket->abandoned) {
                // Its place answered: calls on it are let through again.
                const auto it = stuck_.find(task.ticket->place);
                if (it != stuck_.end() && --*it <= 0)
                    stuck_.erase(it);
            }
            --calls_;
            ended_.notify_all();
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable ended_;
    std::deque<Task> queue_;
    QHash<QString, int> stuck_; // a place's calls given up and not yet returned
    int threads_ = 0;
    int idle_ = 0;
    int calls_ = 0;
    bool failCreation_ = false;
};

// Never destroyed: a worker the kernel holds may return while the process
// exits.
Workers& workers() {
    static Workers* const set = new Workers;
    return *set;
}

} // namespace

std::chrono::milliseconds storageDeadline() {
    return std::chrono::milliseconds(deadlineMilliseconds.load(std::memory_order_relaxed));
}

void setStorageDeadline(std::chrono::milliseconds deadline) {
    deadlineMilliseconds.store(deadline.count(), std::memory_order_relaxed);
}

Error notAnswering(const QString& dir) {
    const auto seconds = static_cast<double>(storageDeadline().count()) / 1000.0;
    return Error(QStringLiteral("Cannot read"), nativePath(dir),
                 QStringLiteral("It does not answer (nothing within %1 s): a network share or "
                                "disk that stopped responding. Try again once it is back")
                     .arg(seconds));
}

int storageWorkers() {
    return workers().threads();
}

int storageCallsRunning() {
    return workers().calls();
}

bool waitForStorageCalls(std::chrono::milliseconds atMost) {
    const auto until = Clock::now() + atMost;
    while (workers().calls() > 0) {
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void failWorkerCreationForTesting(bool fail) {
    workers().failCreation(fail);
}

namespace detail {

std::shared_ptr<Ticket> submit(const QString& dir, std::function<void()> work, Start start) {
    return workers().submit(dir, std::move(work), start);
}

bool waitUntil(const Ticket& ticket, Clock::time_point until) {
    return workers().waitUntil(ticket, until);
}

bool abandon(const std::shared_ptr<Ticket>& ticket) {
    return workers().abandon(ticket);
}

void awaitWithinDeadline(const std::shared_ptr<Ticket>& ticket, const QString& dir) {
    if (waitUntil(*ticket, Clock::now() + storageDeadline()))
        return;
    if (abandon(ticket))
        throw notAnswering(dir);
    throw Error(QStringLiteral("Cannot read"), nativePath(dir),
                QStringLiteral("Every storage worker is held by storage that stopped "
                               "responding. Try again once it is back"));
}

bool onStorageThread() {
    return storageThread;
}

QString placeOf(const QString& dir) {
    // Told from the text alone: asking the storage which device holds a
    // path could wait on the very storage that does not answer.
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(dir));
    const QString mount = mountPointOf(path);
    return mount.isEmpty() ? path : mount;
}

} // namespace detail

} // namespace platform
