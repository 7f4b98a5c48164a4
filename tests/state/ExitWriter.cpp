// Helper for the crash-safety test: writes runemark.ini in DIR over and over
// the way Exit does, alternating two settings, until it is killed.
// Usage: exit_writer DIR

#include "state/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    const QString file = QDir(QString::fromLocal8Bit(argv[1])).filePath("runemark.ini");
    const QString longDir = QString(3000, QLatin1Char('d'));
    for (unsigned long round = 0;; ++round) {
        if (round % 2 == 0)
            state::writeSettings(file, "/old/quake", "quake -listen # +map #");
        else
            state::writeSettings(file, "/new/" + longDir, "winquake -dedicated 8 +map e1m1");
        if (round == 1) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
