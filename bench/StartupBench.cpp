// Runemark's start-up, measured as a whole process: the real window, the
// real handlers and Form_Load in the current directory (its directories read
// ahead while the window is built, as the program does), then exit as soon as
// the window, shown and filled, has been painted. The product itself takes no
// arguments.

#include "QuitWhenPainted.h"
#include "app/ReadAhead.h"
#include "app/Wiring.h"
#include "platform/System.h"
#include "state/Context.h"
#include "ui/Dispatcher.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    app::ReadAhead readAhead(state::settingsFileIn(platform::currentDirectory()));
    ui::installFontSubstitutes();
    ui::Form1 form;
    state::Context ctx(form, platform::currentDirectory());
    ctx.readAhead = &readAhead;
    ui::Dispatcher dispatcher(form, app::handlersFor(ctx),
                              [](const QString& message, const QString&) {
                                  qFatal("start-up failed: %s", qPrintable(message));
                              });
    new QuitWhenPainted(&form);
    dispatcher.load();
    if (form.List2->ListCount() == 0)
        qFatal("start-up listed no patch");
    return QApplication::exec();
}
