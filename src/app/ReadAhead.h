#pragma once

#include "platform/DirectoryListing.h"

#include <QString>

#include <atomic>
#include <future>
#include <optional>

namespace app {

// The start-up scan's directory reads, begun on a second thread as the
// program starts, so they run while the window is being built instead of
// after it: the Quake directory the settings file names, then each
// directory in it, each once, until the window is built. Only the start-up
// scan uses what it read, and only when the settings it loads name that same
// directory; it reads what is left itself, and anything else reads the disk
// as it is then.
class ReadAhead {
  public:
    // Reads nothing when made before the application object.
    explicit ReadAhead(const QString& settingsFile);
    // Stops the reading and waits for the thread.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Once: what has been read by now, when it is of the directory a
    // directory list opened on `quakeDir` shows; the reading ends with the
    // directory it is in. Otherwise, and on every later call, nothing.
    std::optional<platform::DirectorySnapshot> take(const QString& quakeDir);

  private:
    std::atomic<bool> stop_{false};
    std::future<std::optional<platform::DirectorySnapshot>> reading_;
};

} // namespace app
