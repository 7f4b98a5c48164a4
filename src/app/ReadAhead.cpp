#include "app/ReadAhead.h"

#include "app/SettingsFile.h"
#include "platform/System.h"

#include <QCoreApplication>

namespace app {

namespace {

std::optional<platform::DirectorySnapshot> readSavedQuakeDirectory(const QString& settingsFile,
                                                                   std::promise<QString>& root,
                                                                   const std::atomic<bool>& stop) {
    QString dir;
    try {
        const SettingsRead saved = tryReadSettings(settingsFile);
        if (saved.problem.isEmpty() && !saved.values.isEmpty())
            dir = platform::shownDirectoryPath(saved.values.at(0));
    } catch (...) {
        // A guess that fails costs nothing: start-up reads the disk itself.
    }
    root.set_value(dir);
    if (dir.isEmpty())
        return std::nullopt;
    try {
        return platform::DirectorySnapshot::read(dir, &stop);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

ReadAhead::ReadAhead(const QString& settingsFile) : root_(rootPromise_.get_future()) {
    // Qt takes the first thread that makes an object of its own (the
    // reading opens files) for the main thread; the application made first
    // keeps that the thread that runs the window.
    if (!QCoreApplication::instance())
        return;
    // A thread of its own rather than a pool's: it must start at once, and
    // it runs once per program.
    reading_ = std::async(std::launch::async, readSavedQuakeDirectory, settingsFile,
                          std::ref(rootPromise_), std::cref(stop_));
}

ReadAhead::~ReadAhead() {
    stop_ = true;
    if (reading_.valid())
        reading_.wait();
}

std::optional<platform::DirectorySnapshot> ReadAhead::take(const QString& quakeDir) {
    if (taken_ || !reading_.valid())
        return std::nullopt;
    taken_ = true;
    if (root_.get() != platform::shownDirectoryPath(quakeDir)) {
        // Another directory than the one loaded (the file changed since):
        // of no use, so the reading stops; the destructor waits for it.
        stop_ = true;
        return std::nullopt;
    }
    // The window is built: what is not read by now the start-up thread
    // reads itself rather than wait, so it is never idle while a large
    // collection is still being read.
    stop_ = true;
    return reading_.get();
}

} // namespace app
