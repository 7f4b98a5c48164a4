#include "app/ReadAhead.h"

#include "platform/Deadline.h"
#include "platform/System.h"
#include "state/SettingsFile.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <condition_variable>
#include <mutex>

namespace app {

// What the reading thread and the program share: the thread may outlive the
// ReadAhead when the Quake directory does not answer.
struct ReadAhead::Shared {
    std::mutex lock;
    std::condition_variable ready;
    bool done = false;
    bool abandoned = false;
    bool taken = false;
    std::optional<platform::DirectorySnapshot> reading;
};

namespace {

std::optional<platform::DirectorySnapshot> readSavedQuakeDirectory(const QString& settingsFile) {
    try {
        const state::SettingsRead saved = state::tryReadSettings(settingsFile);
        if (!saved.problem.isEmpty() || saved.values.isEmpty() || saved.values.at(0).isEmpty())
            return std::nullopt;
        // A relative directory is read from the start directory, where the
        // settings file lies, as start-up does.
        const QString quakeDir =
            QDir::cleanPath(QFileInfo(settingsFile)
                                .absoluteDir()
                                .absoluteFilePath(QDir::fromNativeSeparators(saved.values.at(0))));
        return platform::DirectorySnapshot::start(platform::shownDirectoryPath(quakeDir));
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
    auto shared = std::make_shared<Shared>();
    // A worker of its own, on no place: it must start at once, and it may
    // never return when the Quake directory does not answer, which is no
    // reason to refuse the calls start-up makes on it meanwhile.
    const auto started = platform::detail::submit(
        QString(),
        [shared, settingsFile] {
            std::optional<platform::DirectorySnapshot> reading =
                readSavedQuakeDirectory(settingsFile);
            const std::lock_guard<std::mutex> hold(shared->lock);
            if (!shared->abandoned)
                shared->reading = std::move(reading);
            shared->done = true;
            shared->ready.notify_all();
            // An abandoned reading is dropped here, which stops it.
        },
        platform::detail::Start::NowOrNever);
    if (!started)
        return; // start-up reads the disk itself
    shared_ = std::move(shared);
}

ReadAhead::~ReadAhead() {
    if (!shared_)
        return;
    std::optional<platform::DirectorySnapshot> dropped;
    const std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->abandoned = true;
    dropped = std::move(shared_->reading);
    shared_->reading.reset();
}

std::optional<platform::DirectorySnapshot> ReadAhead::take(const QString& quakeDir) {
    if (!shared_)
        return std::nullopt;
    std::optional<platform::DirectorySnapshot> reading;
    {
        std::unique_lock<std::mutex> hold(shared_->lock);
        if (shared_->taken)
            return std::nullopt;
        shared_->taken = true;
        if (!shared_->ready.wait_for(hold, platform::storageDeadline(),
                                     [this] { return shared_->done; })) {
            shared_->abandoned = true;
            throw platform::notAnswering(quakeDir);
        }
        reading = std::move(shared_->reading);
        shared_->reading.reset();
    }
    if (!reading)
        return std::nullopt;
    // The settings file may have named another directory by the time it
    // was loaded.
    const QString shown = platform::withinDeadline(
        quakeDir, [quakeDir] { return platform::shownDirectoryPath(quakeDir); });
    if (reading->root() != QDir::fromNativeSeparators(shown))
        return std::nullopt;
    return reading;
}

} // namespace app
