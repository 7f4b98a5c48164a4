#pragma once

#include "platform/DirectoryListing.h"
#include "state/Context.h"

#include <QString>

#include <memory>
#include <optional>

namespace app {

// The start-up scan's directory reads, begun as the program starts, so they
// run while the window is being built instead of after it: the Quake
// directory the settings file names, then the directories in it, many at a
// time (platform::DirectorySnapshot). Only the start-up scan uses what it
// reads, and only when the settings it loads name that same directory; the
// reading goes on while the scan runs and ends with it. Anything else reads
// the disk as it is then.
class ReadAhead final : public state::ReadingAhead {
  public:
    // Reads nothing when made before the application object.
    explicit ReadAhead(const QString& settingsFile);
    // Stops the reading; waits for nothing, as a share that stopped
    // answering may hold a listing for good.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Once: the reading, when it is of the directory a directory list opened
    // on `quakeDir` shows; it goes on for as long as the caller keeps it.
    // Otherwise, and on every later call, nothing. Waits for the reading to
    // have read that directory within the storage deadline, and throws
    // platform::notAnswering(quakeDir) when it has not.
    std::optional<platform::DirectorySnapshot> take(const QString& quakeDir) override;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace app
