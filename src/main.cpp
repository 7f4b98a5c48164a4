#include "app/Context.h"
#include "app/Wiring.h"
#include "platform/System.h"
#include "ui/Dispatcher.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Runemark"));
    ui::installFontSubstitutes();

    ui::Form1 form;
    app::Context ctx(form, platform::currentDirectory());
    ui::Dispatcher dispatcher(form, app::handlersFor(ctx));
    dispatcher.load();
    return QApplication::exec();
}
