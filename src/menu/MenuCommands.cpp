#include "menu/MenuCommands.h"

#include "app/Context.h"
#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "catalogue/Scan.h"
#include "launch/Launch.h"
#include "platform/Process.h"
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

void refresh(app::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    form.List1->Clear();
    form.List2->Clear();
    form.Combo1->Clear();
    form.Dir1->Refresh();

    app::ProbeFile(ctx, ctx.settingsFile);
    if (ctx.ProbeResult) {
        app::readSettings(ctx);
        form.Drive1->setDrive(ctx.QuakeDir);
        form.Dir1->setPath(ctx.QuakeDir);
        form.Combo1->AddItem(ctx.GameCommand);
        catalogue::scanPatches(ctx, catalogue::ScanMode::Refresh);
    }
    app::offerCommandPresets(ctx);
}

void menu_Click(app::Context& ctx, int index) {
    switch (index) {
    case 0:
        launch::launchSelectedPatch(ctx);
        break;
    case 1:
        // The path is one word, blanks and all; the editor's command line
        // reads as the editor, one blank and the path.
        platform::startProgram({textEditor(), ctx.Form1.frmMenus().menu(1).Tag()},
                               platform::MaximizedFocus);
        break;
    default:
        refresh(ctx);
        break;
    }
}

} // namespace menu
