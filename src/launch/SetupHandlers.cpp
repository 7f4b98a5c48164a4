#include "launch/SetupHandlers.h"

#include "platform/Deadline.h"
#include "platform/Drives.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/ScopeGuard.h"
#include "state/Context.h"
#include "state/SettingsFile.h"
#include "ui/Form1.h"

namespace launch {

void Check1_Click(state::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    const bool approved = form.Check1->Value() == 1;
    form.List2->setEnabled(!approved);
    form.Combo2->setEnabled(approved);
}

void Combo1_KeyPress(state::Context& ctx, int keyAscii) {
    Q_UNUSED(keyAscii); // every key reaches the box unchanged
    ctx.GameCommand = ctx.Form1.Combo1->Text();
}

void Dir1_Change(state::Context& ctx) {
    ctx.QuakeDir = ctx.Form1.Dir1->Path();
    ctx.keptQuakeDir.reset(); // the list moved: from now on Exit saves what it shows
    // Every directory shown is the last one on its drive, and the drive list
    // shows its drive, however the list got there.
    ctx.Form1.Drive1->follow(ctx.QuakeDir);
}

void Drive1_Change(state::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    const QString noted = ctx.QuakeDir;
    const QString drive = form.Drive1->Drive();
    // However a change of drive ends, the drive list shows the drive of the
    // directory the directory list shows.
    const platform::UndoOnFailure inStep([&form] { form.Drive1->restore(form.Dir1->Path()); });
    // The drive being left remembers where the list was, to come back there.
    form.Drive1->rememberDirectory(form.Dir1->Path());
    if (!platform::driveAvailable(drive))
        throw platform::Error(QStringLiteral("Cannot open the drive"), platform::nativePath(drive),
                              QStringLiteral("It is not available (no longer mounted); mount it "
                                             "again or choose another drive"));
    const QString remembered = form.Drive1->rememberedDirectory(drive);
    form.Dir1->setPath(remembered.isEmpty() ? platform::currentDirectoryOn(drive) : remembered);
    // The letters' comparison of the classic desktop, done by drive, so that
    // it also holds where every path begins with "/".
    if (platform::sameDrive(drive, noted))
        form.Dir1->setPath(noted);
}

void SSTab1_Click(state::Context& ctx, int previousTab) {
    Q_UNUSED(previousTab);
    ui::Form1& form = ctx.Form1;
    form.Command1->setEnabled(form.SSTab1->Tab() == 0 && form.Check1->Enabled());
}

void Command2_Click(state::Context& ctx) {
    const QString quakeDir = ctx.keptQuakeDir.value_or(ctx.Form1.Dir1->Path());
    const QString file = ctx.settingsFile;
    const QString command = ctx.Form1.Combo1->Text();
    if (ctx.settingsUnanswered)
        throw platform::Error(
            QStringLiteral("The settings were not saved to"), platform::nativePath(file),
            QStringLiteral("It did not answer when they were read, and saving now would replace "
                           "them with what the window shows. Press Refresh once it answers, "
                           "then Exit; or close the window to leave the file as it is"));
    // A failed write throws before the end: the window stays open. The
    // write, its checks and the sweep of leftovers are bounded like every
    // call on storage: a portable file on a share that stopped answering
    // must not hold the window.
    try {
        platform::withinDeadline(file, [file, quakeDir, command] {
            state::writeSettings(file, quakeDir, command);
            return true;
        });
    } catch (const platform::Error& error) {
        if (error.action() != QLatin1String("Cannot read"))
            throw;
        throw platform::Error(QStringLiteral("The settings could not be saved to"),
                              platform::nativePath(file), error.reason());
    }
    ctx.endProgram();
}

} // namespace launch
