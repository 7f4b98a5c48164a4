#include "menu/MenuCommands.h"

#include "launch/Launch.h"
#include "launch/Started.h"
#include "platform/System.h"
#include "state/Context.h"
#include "ui/Form1.h"

namespace menu {

QString textEditor() {
#ifdef Q_OS_WIN
    return QStringLiteral("NOTEPAD.EXE");
#elif defined(Q_OS_DARWIN)
    return QStringLiteral("open");
#else
    return QStringLiteral("xdg-open");
#endif
}

void menu_Click(state::Context& ctx, int index, const std::function<void()>& refresh) {
    switch (index) {
    case 0:
        launch::launchSelectedPatch(ctx);
        break;
    case 1:
        // The path is one word, blanks and all; the editor's command line
        // reads as the editor, one blank and the path.
        {
            const QString readme = ctx.Form1.frmMenus().menu(1).Tag();
            launch::refuseUndecodablePath(QStringLiteral("Cannot show the read-me of"),
                                          ctx.Form1.List2->List(ctx.Form1.List2->ListIndex()),
                                          readme);
            launch::startWatched(ctx.Form1, {textEditor(), readme}, platform::currentDirectory(),
                                 {}, QStringLiteral("readme.log"),
                                 QStringLiteral("The read-me viewer"),
                                 QStringLiteral("It was to show ") + readme + QLatin1Char('.'));
            break;
        }
    default:
        if (refresh)
            refresh();
        break;
    }
}

} // namespace menu
