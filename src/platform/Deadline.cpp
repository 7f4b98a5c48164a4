#include "platform/Deadline.h"

#include "platform/Paths.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace platform {

namespace {

// Plain atomics: trivially destroyed, so a call that returns while the
// process exits finds them still there.
std::atomic<long long> deadlineMilliseconds{5000};
std::atomic<int> running{0};
thread_local bool storageThread = false;

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

int storageCallsRunning() {
    return running.load();
}

bool waitForStorageCalls(std::chrono::milliseconds atMost) {
    const auto until = std::chrono::steady_clock::now() + atMost;
    while (running.load() > 0) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

namespace detail {

void runDetached(const QString& dir, std::function<void()> work) {
    running.fetch_add(1);
    try {
        // A thread per call rather than a pool's: one that the kernel holds
        // for good holds only itself, and nothing waits for it to free up.
        std::thread([work = std::move(work)]() mutable {
            storageThread = true;
            work();
            work = nullptr; // what it held goes before the call counts as ended
            running.fetch_sub(1);
        }).detach();
    } catch (const std::system_error& error) {
        running.fetch_sub(1);
        throw Error(QStringLiteral("Cannot read"), nativePath(dir),
                    QString::fromLocal8Bit(error.what()));
    }
}

bool onStorageThread() {
    return storageThread;
}

} // namespace detail

} // namespace platform
