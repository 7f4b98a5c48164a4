// The threads Runemark holds after the player pressed Refresh twenty times
// on a Quake directory whose share stopped answering. Started in a directory
// whose runemark.ini names the Quake directory on the share: it starts up,
// prints "loaded", waits for a line on its input (the share is stopped
// meanwhile), then refreshes twenty times, each failing within the storage
// deadline, and prints the threads it holds (/proc/self/task) before and
// after.

#include "app/StartUp.h"
#include "platform/Error.h"
#include "platform/System.h"
#include "state/Context.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

qsizetype threads() {
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ui::Form1 form;
    state::Context ctx(form, platform::currentDirectory());
    app::Form_Load(ctx);
    std::printf("loaded: %lld patches, %lld threads\n",
                static_cast<long long>(form.List2->ListCount()), static_cast<long long>(threads()));
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    int failed = 0;
    for (int i = 0; i < 20; ++i) {
        try {
            app::Refresh(ctx);
        } catch (const platform::Error&) {
            ++failed;
        }
    }
    std::printf("after 20 Refreshes (%d failed): %lld threads\n", failed,
                static_cast<long long>(threads()));
    std::fflush(stdout);
    // The stuck calls stay in the kernel until the share answers again.
    std::_Exit(0);
}
