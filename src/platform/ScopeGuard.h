#pragma once

#include <exception>
#include <utility>

namespace platform {

// Runs `undo` when the scope it guards is left by an exception, and only
// then: a handler that fails half-way goes back to a state a normal path
// also produces while its error is on its way to the user.
template <typename Undo> class UndoOnFailure {
  public:
    explicit UndoOnFailure(Undo undo) : undo_(std::move(undo)) {}
    ~UndoOnFailure() {
        if (std::uncaught_exceptions() <= failing_)
            return;
        try {
            undo_();
        } catch (...) {
            // Best effort: the error already on its way is the one to report.
        }
    }
    UndoOnFailure(const UndoOnFailure&) = delete;
    UndoOnFailure& operator=(const UndoOnFailure&) = delete;

  private:
    Undo undo_;
    int failing_ = std::uncaught_exceptions();
};

} // namespace platform
