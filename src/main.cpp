#include "app/Arguments.h"
#include "app/ReadAhead.h"
#include "app/Wiring.h"
#include "platform/System.h"
#include "platform/UserDirectories.h"
#include "state/Context.h"
#include "ui/Dispatcher.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc > 1) {
        // Only --help and --version are read; neither needs a display.
        QCoreApplication core(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return app::answerArguments(QCoreApplication::arguments(), out, err);
    }
    QApplication application(argc, argv);
    // Where the settings live is chosen once; every reading and Exit's
    // writing use that file.
    const QString startDirectory = platform::currentDirectory();
    const QString settingsFile =
        state::chooseSettingsFile(startDirectory, platform::userConfigDirectory());
    // The Quake directory is read while the window is built.
    app::ReadAhead readAhead(settingsFile);
    QApplication::setApplicationName(QStringLiteral("Runemark"));
    ui::installFontSubstitutes();

    ui::Form1 form;
    state::Context ctx(form, startDirectory, settingsFile);
    ctx.readAhead = &readAhead;
    ui::Dispatcher dispatcher(form, app::handlersFor(ctx));
    dispatcher.load();
    return QApplication::exec();
}
