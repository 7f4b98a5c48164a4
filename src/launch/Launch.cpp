#include "launch/Launch.h"

#include "app/Context.h"
#include "launch/CommandLine.h"
#include "platform/Process.h"
#include "platform/System.h"
#include "ui/Form1.h"

namespace launch {

namespace {
QString selectedPatch(const ui::Form1& form) {
    return form.List2->List(form.List2->ListIndex());
}
} // namespace

void launchSelectedPatch(app::Context& ctx) {
    platform::changeDirectory(ctx.QuakeDir);
    platform::startProgram(
        patchLaunchWords(ctx.QuakeDir, ctx.GameCommand, selectedPatch(ctx.Form1)),
        platform::MaximizedFocus);
    platform::changeDirectory(platform::programDirectory());
}

void Command1_Click(app::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    platform::changeDirectory(ctx.QuakeDir);
    if (form.Check1->Value() == 0) {
        platform::startProgram(patchLaunchWords(ctx.QuakeDir, ctx.GameCommand, selectedPatch(form)),
                               platform::MaximizedFocus);
    } else {
        const QString title = form.Combo2->List(form.Combo2->ListIndex()).trimmed();
        QStringList appended;
        if (approvedGameWords(title, &appended))
            platform::startProgram(baseWords(ctx.QuakeDir, ctx.GameCommand) + appended,
                                   platform::MaximizedFocus);
    }
    platform::changeDirectory(platform::programDirectory());
}

void List2_DblClick(app::Context& ctx) {
    if (!ctx.Form1.List2->Enabled())
        return;
    launchSelectedPatch(ctx);
}

} // namespace launch
