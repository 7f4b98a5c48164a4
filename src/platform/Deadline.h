#pragma once

#include "platform/Error.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace platform {

// How long one call on the player's storage (a listing, a lookup, an
// existence check) may take before the handler that made it gives up. Five
// seconds: a share over Wi-Fi or a VPN answers a call in tens of
// milliseconds and a USB disk or a drive that went to sleep spins up within
// a few seconds, so a call that takes longer is one of a server that is gone;
// and a window that does not answer for longer than that looks hung to the
// player. It bounds each call, not a whole scan.
std::chrono::milliseconds storageDeadline();
// Tests shorten it so that a share that stops answering costs them little.
void setStorageDeadline(std::chrono::milliseconds deadline);

// The error of a call on `dir` that did not answer within the deadline.
Error notAnswering(const QString& dir);

// Calls on storage begun on threads of their own and not yet returned,
// abandoned ones included: a test lets a stopped share answer again and
// waits for these to end before it removes anything.
int storageCallsRunning();
bool waitForStorageCalls(std::chrono::milliseconds atMost);

namespace detail {
// Runs `work` on a new detached thread, counted by storageCallsRunning().
// Throws Error naming `dir` when no thread can be made.
void runDetached(const QString& dir, std::function<void()> work);
// True on a thread runDetached() made.
bool onStorageThread();
} // namespace detail

// Runs `call` on a thread of its own and returns its result, or throws
// notAnswering(dir) when it has not returned within the deadline; an Error
// it throws reaches the caller. A call that does not answer is abandoned:
// its thread may stay in the kernel for good, so `call` must own everything
// it uses (capture by value) and touch nothing the caller keeps; its result
// then goes to a place only it still holds. No lock of the caller's is held
// while it runs.
//
// On a thread of its own already (a call made by such a call), `call` runs
// in place: whoever waits for that thread bounds it, so several calls made
// together cost one thread and one deadline.
template <typename Call> std::invoke_result_t<Call&> withinDeadline(const QString& dir, Call call) {
    using Result = std::invoke_result_t<Call&>;
    if (detail::onStorageThread())
        return call();
    struct Answer {
        std::mutex lock;
        std::condition_variable answered;
        bool done = false;
        std::optional<Result> value;
        std::exception_ptr failure;
    };
    auto answer = std::make_shared<Answer>();
    detail::runDetached(dir, [answer, call = std::move(call)]() mutable {
        std::optional<Result> value;
        std::exception_ptr failure;
        try {
            value.emplace(call());
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> hold(answer->lock);
        answer->value = std::move(value);
        answer->failure = failure;
        answer->done = true;
        answer->answered.notify_all();
    });
    std::unique_lock<std::mutex> hold(answer->lock);
    if (!answer->answered.wait_for(hold, storageDeadline(), [&] { return answer->done; }))
        throw notAnswering(dir);
    if (answer->failure)
        std::rethrow_exception(answer->failure);
    return std::move(*answer->value);
}

} // namespace platform
