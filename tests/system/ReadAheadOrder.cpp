// Qt takes the first thread that makes an object of its own for its main
// thread. A reading ahead begun before the application object must not be
// that thread, or the window would be run as if from a second thread and
// stop answering input. Its own program, and its files made without Qt: the
// order is that of a process's start, before any Qt object exists.
//
// Under a real X server without a session bus, Qt's accessibility bridge
// forks a helper to look for one. Building the window must fork nothing
// once the reading has begun: a child forked while the reading allocates
// can hang for good under an allocator that is not fork-safe.

#include "app/ReadAhead.h"
#include "ui/Form1.h"

#include <QApplication>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Qt says so when it takes another thread than the application's for its
// main one; nothing public tells otherwise.
bool saidNotMainThread = false;

std::atomic<int> forks{0};

void listen(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("main() thread")))
        saidNotMainThread = true;
}

} // namespace

int main(int argc, char* argv[]) {
    pthread_atfork([] { ++forks; }, nullptr, nullptr);
    namespace fs = std::filesystem;
    std::string made = (fs::temp_directory_path() / "runemark-order-XXXXXX").string();
    if (!mkdtemp(made.data()))
        return 2;
    const fs::path root(made);
    fs::create_directories(root / "quake" / "patch");
    fs::create_directories(root / "start");
    std::ofstream(root / "quake" / "patch" / "progs.dat") << "progs";
    std::ofstream(root / "start" / "runemark.ini", std::ios::binary)
        << '"' << (root / "quake").string() << "\"\r\n\"quake\"\r\n";
    const QString settings = QString::fromStdString((root / "start" / "runemark.ini").string());
    const QString quake = QString::fromStdString((root / "quake").string());

    int failures = 0;
    {
        app::ReadAhead early(settings);
        // Time enough for a reading thread to open the settings file first.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        qInstallMessageHandler(listen);
        QApplication application(argc, argv);
        qInstallMessageHandler(nullptr);
        if (saidNotMainThread) {
            std::fprintf(stderr, "Qt took the reading thread for its main thread\n");
            ++failures;
        }
        if (early.take(quake)) {
            std::fprintf(stderr, "a reading ahead made before the application read something\n");
            ++failures;
        }
        app::ReadAhead inTime(settings);
        const int forksBefore = forks;
        {
            ui::Form1 window;
            window.show();
            QApplication::processEvents();
        }
        if (forks != forksBefore) {
            std::fprintf(stderr, "building the window forked while the reading ran (%d times)\n",
                         forks - forksBefore);
            ++failures;
        }
        // On a loaded machine the reading may not have been scheduled while
        // the small window was built: it is given the same time as above.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (!inTime.take(quake)) {
            std::fprintf(stderr, "a reading ahead made after the application read nothing\n");
            ++failures;
        }
    }
    fs::remove_all(root);
    return failures == 0 ? 0 : 1;
}
