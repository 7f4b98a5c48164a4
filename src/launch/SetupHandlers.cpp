#include "launch/SetupHandlers.h"

#include "app/Context.h"
#include "app/SettingsFile.h"
#include "platform/Drives.h"
#include "ui/Form1.h"

namespace launch {

void Check1_Click(app::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    const bool approved = form.Check1->Value() == 1;
    form.List2->setEnabled(!approved);
    form.Combo2->setEnabled(approved);
}

void Combo1_KeyPress(app::Context& ctx, int keyAscii) {
    Q_UNUSED(keyAscii); // every key reaches the box unchanged
    ctx.GameCommand = ctx.Form1.Combo1->Text();
}

void Dir1_Change(app::Context& ctx) {
    ctx.QuakeDir = ctx.Form1.Dir1->Path();
    ctx.keptQuakeDir.reset(); // the list moved: from now on Exit saves what it shows
}

void Drive1_Change(app::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    const QString noted = ctx.QuakeDir;
    form.Dir1->setPath(form.Drive1->Drive());
    // The letters' comparison of the classic desktop, done by drive, so that
    // it also holds where every path begins with "/".
    if (platform::sameDrive(form.Drive1->Drive(), noted))
        form.Dir1->setPath(noted);
}

void SSTab1_Click(app::Context& ctx, int previousTab) {
    Q_UNUSED(previousTab);
    ui::Form1& form = ctx.Form1;
    form.Command1->setEnabled(form.SSTab1->Tab() == 0 && form.Check1->Enabled());
}

void Command2_Click(app::Context& ctx) {
    const QString quakeDir = ctx.keptQuakeDir.value_or(ctx.Form1.Dir1->Path());
    // A failed write throws before the end: the window stays open.
    app::writeSettings(ctx.settingsFile, quakeDir, ctx.Form1.Combo1->Text());
    ctx.endProgram();
}

} // namespace launch
