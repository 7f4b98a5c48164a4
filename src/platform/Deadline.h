#pragma once

#include "platform/Error.h"

#include <QString>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
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

// The most storage workers the program makes: the listings a reading keeps
// in flight (ListingsInFlight, 16), the reading ahead's own worker, one call
// of the window's, and six for calls held by other storage that stopped
// answering (a second dead share, links into one) before a call on healthy
// storage has to queue. Workers are made when first needed and kept; a
// worker the kernel holds for good holds only itself, and no call on its
// place takes another one (see withinDeadline), so retries never add one.
constexpr int StorageWorkerBound = 24;

// Storage workers made so far (at most StorageWorkerBound).
int storageWorkers();
// Calls on storage queued or running on workers, abandoned ones included: a
// test lets a stopped share answer again and waits for these to end before
// it removes anything.
int storageCallsRunning();
bool waitForStorageCalls(std::chrono::milliseconds atMost);

// For tests: while set, no worker can be made (as at the user's process
// limit) and idle workers leave, so every call that needs one meets the
// failure.
void failWorkerCreationForTesting(bool fail);

namespace detail {

struct Ticket;
enum class Start {
    Queue,     // waits for a worker when every one is busy
    NowOrNever // only when a worker is free or can be made at once
};

// Runs `work` on a storage worker, on behalf of the place (the mount, or
// where mounts cannot be told, the directory) that `dir` lies on; `work`
// must not throw. Throws notAnswering(dir) at once when a call on that place
// is stuck past the deadline, and Error naming `dir` when no worker can be
// had (none can be made and none is left). With Start::NowOrNever it
// returns null instead of queueing. An empty `dir` is on no place: it is
// never refused, and giving it up marks nothing stuck.
std::shared_ptr<Ticket> submit(const QString& dir, std::function<void()> work,
                               Start start = Start::Queue);
// Waits for the call until `until`; whether it has ended.
bool waitUntil(const Ticket& ticket, std::chrono::steady_clock::time_point until);
// Gives the call up: one not begun is dropped; one running counts as stuck
// on its place until it returns. Whether it had begun.
bool abandon(const std::shared_ptr<Ticket>& ticket);
// Waits for the call within the storage deadline from now; when it does not
// end, gives it up and throws (notAnswering(dir) for one that began).
void awaitWithinDeadline(const std::shared_ptr<Ticket>& ticket, const QString& dir);
// True on a storage worker.
bool onStorageThread();
// The place `dir` lies on (see submit).
QString placeOf(const QString& dir);

} // namespace detail

// Runs `call` on a storage worker and returns its result, or throws
// notAnswering(dir) when it has not returned within the deadline; an Error
// it throws reaches the caller. A call that does not answer is abandoned:
// its worker may stay in the kernel for good, so `call` must own everything
// it uses (capture by value) and touch nothing the caller keeps; its result
// then goes to a place only it still holds. No lock of the caller's is held
// while it runs. Until it returns, further calls on its place fail at once
// with the same error.
//
// On a worker already (a call made by such a call), `call` runs in place:
// whoever waits for that worker bounds it, so several calls made together
// cost one worker and one deadline.
template <typename Call> std::invoke_result_t<Call&> withinDeadline(const QString& dir, Call call) {
    using Result = std::invoke_result_t<Call&>;
    if (detail::onStorageThread())
        return call();
    struct Answer {
        std::optional<Result> value;
        std::exception_ptr failure;
    };
    auto answer = std::make_shared<Answer>();
    // The worker's ending is seen under the worker set's lock, so what it
    // stored here is seen too.
    const auto ticket = detail::submit(dir, [answer, call = std::move(call)]() mutable {
        try {
            answer->value.emplace(call());
        } catch (...) {
            answer->failure = std::current_exception();
        }
    });
    detail::awaitWithinDeadline(ticket, dir);
    if (answer->failure)
        std::rethrow_exception(answer->failure);
    return std::move(*answer->value);
}

} // namespace platform
