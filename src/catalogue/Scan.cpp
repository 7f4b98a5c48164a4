#include "catalogue/Scan.h"

#include "catalogue/PatchName.h"
#include "platform/DirectoryListing.h"
#include "platform/FileLookup.h"
#include "platform/Paths.h"
#include "state/Context.h"
#include "ui/Form1.h"

#include <QStringBuilder>

namespace catalogue {

void scanPatches(state::Context& ctx, state::Occasion occasion,
                 const platform::DirectorySnapshot* held) {
    ui::Form1& form = ctx.Form1;
    const QString sep = platform::separator();

    {
        // The lists are shown their entries once, when the scan has added
        // them all.
        const ui::ListBox::Fill fillList1(*form.List1), fillList2(*form.List2);
        for (int i = 0; i < form.Dir1->ListCount(); ++i)
            form.List1->AddItem(form.Dir1->List(i));

        // The sub-directories are read many at a time, in the order the
        // loop below takes them (a share's wait per listing overlaps), unless
        // `held` (the reading begun at start-up) already holds them; each is
        // waited for within the storage deadline. Both probes of a
        // sub-directory are answered from one read of it, handed to each
        // probe; nothing read here outlives the scan.
        QStringList inOrder;
        inOrder.reserve(form.List1->ListCount());
        for (int i = 0; i < form.List1->ListCount(); ++i)
            inOrder.append(form.List1->List(i));
        const std::optional<platform::DirectorySnapshot> reading =
            platform::readingForScan(form.Dir1->Path(), inOrder, held);
        platform::HeldListings listings(reading ? &*reading : nullptr);
        for (int i = 0; i < form.List1->ListCount(); ++i) {
            const QString entry = form.List1->List(i);
            // A name that is not valid text cannot be opened to be looked
            // into; listed, so that Play can say why it cannot start it.
            if (platform::holdsUndecodableBytes(entry)) {
                form.List2->AddItem(platform::visibleFileName(patchName(entry)), entry);
                continue;
            }
            state::ProbeFile(ctx, entry % sep % QStringLiteral("progs.dat"), &listings);
            if (ctx.ProbeResult) {
                form.List2->AddItem(patchName(entry), entry);
                continue;
            }
            state::ProbeFile(ctx, entry % sep % QStringLiteral("*.pak"), &listings);
            if (!ctx.ProbeResult)
                continue;
            const QString name = patchName(entry);
            const OfficialGame* game = officialGameNamed(name);
            if (occasion == state::Occasion::Refresh) {
                if (game != &OfficialGames[0]) // only the base game is held back
                    form.List2->AddItem(name, entry);
            } else if (!game) {
                form.List2->AddItem(name, entry);
            } else {
                form.Combo2->AddItem(QLatin1String(game->title), entry);
                form.Combo2->setListIndex(0);
            }
        }
    }

    if (form.List2->ListCount() > 0)
        form.List2->setListIndex(0);
}

} // namespace catalogue
