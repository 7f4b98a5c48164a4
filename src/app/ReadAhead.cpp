#include "app/ReadAhead.h"

#include "app/state/SettingsFile.h"
#include "platform/System.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

namespace app {

namespace {

std::optional<platform::DirectorySnapshot> readSavedQuakeDirectory(const QString& settingsFile,
                                                                   const std::atomic<bool>& stop) {
    try {
        const SettingsRead saved = tryReadSettings(settingsFile);
        if (!saved.problem.isEmpty() || saved.values.isEmpty())
            return std::nullopt;
        return platform::DirectorySnapshot::read(platform::shownDirectoryPath(saved.values.at(0)),
                                                 &stop);
    } catch (...) {
        // A guess that fails costs nothing: start-up reads the disk itself.
        return std::nullopt;
    }
}

} // namespace

ReadAhead::ReadAhead(const QString& settingsFile) {
    // Qt takes the first thread that makes an object of its own (the
    // reading opens files) for the main thread; the application made first
    // keeps that the thread that runs the window.
    if (!QCoreApplication::instance())
        return;
    // Qt's accessibility bridge, when first asked, looks for the session bus
    // and without one forks a helper whose child allocates before it execs.
    // Forked while this thread allocates, that child can wait for good on an
    // allocator lock under an allocator that is not fork-safe (the address
    // sanitizer's), and the window with it. So the bridge, which building the
    // window sets up anyway, is set up before the thread starts.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QAccessible::isActive();
    // A thread of its own rather than a pool's: it must start at once, and
    // it runs once per program.
    reading_ =
        std::async(std::launch::async, readSavedQuakeDirectory, settingsFile, std::cref(stop_));
}

ReadAhead::~ReadAhead() {
    stop_ = true;
    if (reading_.valid())
        reading_.wait();
}

std::optional<platform::DirectorySnapshot> ReadAhead::take(const QString& quakeDir) {
    if (!reading_.valid()) // taken already, or nothing was read
        return std::nullopt;
    // The window is built: what is not read by now the start-up thread
    // reads itself rather than wait, so it is never idle while a large
    // collection is still being read.
    stop_ = true;
    std::optional<platform::DirectorySnapshot> snapshot = reading_.get();
    // The settings file may have named another directory by the time it
    // was loaded.
    if (!snapshot ||
        snapshot->root() != QDir::fromNativeSeparators(platform::shownDirectoryPath(quakeDir)))
        return std::nullopt;
    return snapshot;
}

} // namespace app
