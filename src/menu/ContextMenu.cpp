#include "menu/ContextMenu.h"

#include "content/PatchFacts.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"
#include "state/Context.h"
#include "ui/Form1.h"
#include "ui/FrmMenus.h"
#include "ui/Screen.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <cmath>
#include <cstdint>
#include <limits>

namespace menu {

namespace {

int roundHalfEven(double sum, double twipsPerPixel) {
    const float quotient = static_cast<float>(sum / twipsPerPixel);
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double rounded = std::nearbyint(static_cast<double>(quotient));
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        throw platform::Error(QStringLiteral("Cannot place the menu at"),
                              QString::number(static_cast<double>(quotient)),
                              QStringLiteral("Overflow"));
    return static_cast<int>(rounded);
}

} // namespace

QPoint popupPosition(const QWidget* list, float x, float y, double twipsPerPixelX,
                     double twipsPerPixelY) {
    const QPoint pointer(roundHalfEven(static_cast<double>(x), twipsPerPixelX),
                         roundHalfEven(static_cast<double>(y), twipsPerPixelY));
    return list->mapToGlobal(pointer) + PopupOffset;
}

void List2_MouseDown(state::Context& ctx, int button, int shift, float x, float y) {
    Q_UNUSED(shift);
    ui::Form1& form = ctx.Form1;
    const QString sep = platform::separator();
    const int row = form.List2->ListIndex();
    const QString patch = form.List2->List(row);
    // The directory the entry was found in, searched for its own name; an
    // entry without one (no selection) names a directory under QuakeDir.
    const QString found = form.List2->ItemDirectory(row);
    const QString folder = (found.isEmpty() ? ctx.QuakeDir + sep + patch : found) + sep;
    const QString name = platform::literalPattern(
        found.isEmpty() ? patch : QFileInfo(QDir::fromNativeSeparators(found)).fileName());

    // No read-me until one is found: a lookup that fails (a share that
    // stopped answering) leaves the item as for a patch without one, never
    // naming the read-me of the patch looked at before.
    ui::MenuItem& readme = form.frmMenus().menu(1);
    readme.setEnabled(false);
    readme.setCaption(QStringLiteral("&Readme"));
    readme.setTag(QString());
    if (platform::holdsUndecodableBytes(found)) {
        // It cannot be looked into: Readme says why.
        readme.setEnabled(true);
        readme.setTag(found);
    } else {
        // The panel beside the list names the read-me by the same patterns.
        const QStringList patterns = content::readmePatterns(name);
        state::ProbeFile(ctx, folder + patterns.at(0));
        if (!ctx.ProbeResult)
            state::ProbeFile(ctx, folder + patterns.at(1));
    }

    if (ctx.ProbeResult && !platform::holdsUndecodableBytes(found)) {
        readme.setEnabled(true);
        readme.setCaption(QStringLiteral("&Readme (") + ctx.ProbeName.toLower() +
                          QStringLiteral(")"));
        // The path the editor opens: lower case, as the classic desktop
        // keeps it, only where letter case makes no difference.
        const QString path = folder + ctx.ProbeName;
        readme.setTag(platform::caseSensitiveHost() ? path : path.toLower());
    }

    if (button != ui::RightButton)
        return;
    const QPoint at =
        popupPosition(form.List2->viewport(), x, y, ui::twipsPerPixelX(), ui::twipsPerPixelY());
    ui::FrmMenus* owner = &form.frmMenus();
    QMenuBar* bar = ui::GetMenu(owner);
    QMenu* dropDown = ui::GetSubMenu(bar, 0);
    const int noRectangle = 0;
    ui::TrackPopupMenu(dropDown, ui::TPM_RIGHTBUTTON, at.x(), at.y(), 0, owner, &noRectangle);
}

} // namespace menu
