#include "launch/Launch.h"

#include "launch/CommandLine.h"
#include "launch/Started.h"
#include "platform/Deadline.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/System.h"
#include "state/Context.h"
#include "ui/Form1.h"

#include <QDir>
#include <QFileInfo>

namespace launch {

namespace {

// An entry of the patch list or the official-game list: the text it shows
// and the directory it was found in (empty for an entry that has none).
struct Entry {
    QString text;
    QString directory;
};

Entry selectedPatch(const ui::Form1& form) {
    const int row = form.List2->ListIndex();
    return {form.List2->List(row), form.List2->ItemDirectory(row)};
}

// What the game is given after "-game": the directory's own name as on disk,
// which upper-casing the listed name cannot bring back ("ctf" beside "CTF",
// "straße"); for an entry without a directory, that name upper-cased.
QString gameDirectoryName(const Entry& entry) {
    return entry.directory.isEmpty() ? entry.text.toUpper() : QFileInfo(entry.directory).fileName();
}

bool sameDirectory(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// The lists are as old as the last scan: since then another Quake directory
// may have been chosen on the Setup tab, or the entry's directory deleted.
// Starting then would hand the engine a directory it falls back from
// silently, so nothing starts.
void checkInQuakeDirectory(const Entry& entry, const QString& quakeDir) {
    if (entry.directory.isEmpty())
        return;
    // Refresh reads the settings file again: it lists the saved Quake
    // directory, not one opened on the Setup tab since.
    const QString again = QStringLiteral(" Refresh (right-click the patch list) lists the saved "
                                         "Quake directory's patches as they are now.");
    // The directory may be on a share that stopped answering.
    enum class Found { Missing, Elsewhere, InQuakeDirectory };
    const QString directory = entry.directory;
    const Found found = platform::withinDeadline(directory, [directory, quakeDir] {
        const QFileInfo info(directory);
        if (!info.isDir())
            return Found::Missing;
        return sameDirectory(info.absolutePath(), quakeDir) ? Found::InQuakeDirectory
                                                            : Found::Elsewhere;
    });
    if (found == Found::Missing)
        throw platform::Error(QStringLiteral("Cannot start"), entry.text,
                              QStringLiteral("Its directory %1 no longer exists.")
                                      .arg(platform::nativePath(entry.directory)) +
                                  again);
    if (found == Found::Elsewhere) {
        const QString listed = platform::nativePath(QFileInfo(entry.directory).absolutePath());
        throw platform::Error(
            QStringLiteral("Cannot start"), entry.text,
            QStringLiteral("Its directory %1 is not in the Quake directory %2. The list shows the "
                           "patches of %3, opened before. To play %4, open %3 again on the Setup "
                           "tab; to list the patches of %2, press Exit, which saves it, and start "
                           "Runemark again.")
                .arg(platform::nativePath(entry.directory), platform::nativePath(quakeDir), listed,
                     entry.text));
    }
}

} // namespace

void refuseUndecodablePath(const QString& action, const QString& subject, const QString& path) {
    if (!platform::holdsUndecodableBytes(path))
        return;
    // The directory whose own name holds the bytes: the one to rename.
    QString named = QDir::fromNativeSeparators(path);
    while (!platform::holdsUndecodableBytes(QFileInfo(named).fileName()))
        named = QFileInfo(named).path();
    throw platform::Error(
        action, platform::visibleFileName(subject),
        QStringLiteral("The name %1 holds bytes that are not valid text (UTF-8), shown as %2; no "
                       "program can be handed that name. Rename it, then choose Refresh from the "
                       "patch list's menu.")
            .arg(platform::visibleFileName(platform::nativePath(named)))
            .arg(QChar(QChar::ReplacementCharacter)));
}

namespace {

// Engines read every word that begins with "-" as an option and every one
// that begins with "+" as a console command, wherever it stands: "-game
// +quit" quits at once, "-game -dedicated" starts a server. Such a directory
// cannot be handed over as a patch.
void refuseOptionLikeName(const Entry& entry, const QString& name) {
    const QChar first = name.isEmpty() ? QChar() : name.front();
    if (first != QLatin1Char('-') && first != QLatin1Char('+'))
        return;
    QString plain = name;
    while (plain.startsWith(QLatin1Char('-')) || plain.startsWith(QLatin1Char('+')))
        plain.remove(0, 1);
    const QString where = entry.directory.isEmpty() ? QStringLiteral("the directory")
                                                    : QStringLiteral("the directory ") +
                                                          platform::nativePath(entry.directory);
    throw platform::Error(
        QStringLiteral("Cannot start"), entry.text,
        QStringLiteral("The game would read a name beginning with \"%1\" as %2, not as the "
                       "patch. Rename %3%4, then choose Refresh from the patch list's menu.")
            .arg(first)
            .arg(first == QLatin1Char('-') ? QStringLiteral("an option")
                                           : QStringLiteral("a console command"))
            .arg(where)
            .arg(plain.isEmpty() ? QString() : QStringLiteral(" (to \"%1\", say)").arg(plain)));
}

// Engines on Linux open id1/pak0.pak by that very name; the base game
// spelled otherwise (Steam's Id1/PAK0.PAK) is not found, and the engine ends.
QString baseGameSpellingNote(const QString& quakeDir) {
    if (!platform::caseSensitiveHost())
        return {};
    const QString exact = platform::resolveCase(quakeDir) + QStringLiteral("/id1/pak0.pak");
    if (QFileInfo::exists(exact))
        return {};
    const QFileInfo found(platform::resolveCaseAlways(exact));
    if (!found.isFile())
        return {};
    return QStringLiteral("The base game is here as %1/%2; engines on Linux look for the "
                          "lower-case names id1/pak0.pak: rename them to lower case.")
        .arg(found.dir().dirName(), found.fileName());
}

// The game reads its arguments in the Quake directory, so the letter case of
// those the player typed is matched there; the directory after "-game" is the
// one listed, by the name it has on disk, and goes as it is (`listed`: 1).
void startGame(const state::Context& ctx, const QStringList& words, qsizetype listed) {
    // Both look into the Quake directory, which may not answer.
    const QString quakeDir = ctx.QuakeDir;
    const auto [onDisk, note] = platform::withinDeadline(quakeDir, [quakeDir] {
        return std::pair<QString, QString>{platform::resolveCase(quakeDir),
                                           baseGameSpellingNote(quakeDir)};
    });
    startWatched(ctx.Form1, words, onDisk, engineLookup(quakeDir, ctx.enginePlaces),
                 QStringLiteral("game.log"), QStringLiteral("The game"), note, listed);
}

// The map chosen beside the list, as one more word pair at the end; none
// for the patch's own start. A name that begins with "-" or "+" would be read
// as an option or a command, as a patch's would.
QStringList chosenMapWords(const state::Context& ctx) {
    const QString map = ctx.Form1.Panel.chosenMap();
    if (map.isEmpty())
        return {};
    if (map.startsWith(QLatin1Char('-')) || map.startsWith(QLatin1Char('+')))
        throw platform::Error(
            QStringLiteral("Cannot start"), map,
            QStringLiteral("The game would read a map name beginning with \"%1\" as %2, not as "
                           "the map. Choose another map, or rename its file.")
                .arg(map.front())
                .arg(map.front() == QLatin1Char('-') ? QStringLiteral("an option")
                                                     : QStringLiteral("a console command")));
    return {QStringLiteral("+map"), map};
}

void startPatch(const state::Context& ctx, const Entry& patch) {
    refuseUndecodablePath(QStringLiteral("Cannot start"), patch.text, patch.directory);
    checkInQuakeDirectory(patch, ctx.QuakeDir);
    const QString name = gameDirectoryName(patch);
    refuseOptionLikeName(patch, name);
    // The directory and the map were both taken from disk: passed as they are.
    const QStringList map = chosenMapWords(ctx);
    startGame(ctx, patchLaunchWords(ctx.GameCommand, name) + map,
              (name.isEmpty() ? 0 : 1) + map.size());
}

} // namespace

void launchSelectedPatch(state::Context& ctx) {
    startPatch(ctx, selectedPatch(ctx.Form1));
}

void Command1_Click(state::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    // The game gets the Quake directory as its working directory; the
    // launcher's own current directory never changes.
    [&ctx, &form] {
        if (form.Check1->Value() == 0) {
            startPatch(ctx, selectedPatch(form));
            return;
        }
        const int row = form.Combo2->ListIndex();
        const Entry game{form.Combo2->List(row).trimmed(), form.Combo2->ItemDirectory(row)};
        QStringList appended;
        if (!approvedGameWords(game.text, &appended))
            return;
        checkInQuakeDirectory(game, ctx.QuakeDir);
        // A mission pack goes by its directory as found; the base game
        // appends nothing.
        const bool listed = !appended.isEmpty() && !game.directory.isEmpty();
        if (listed)
            appended = QStringList{QStringLiteral("-game"), gameDirectoryName(game)};
        const QStringList map = chosenMapWords(ctx);
        startGame(ctx, baseWords(ctx.GameCommand) + appended + map, (listed ? 1 : 0) + map.size());
    }();
}

void List2_DblClick(state::Context& ctx) {
    if (!ctx.Form1.List2->Enabled())
        return;
    launchSelectedPatch(ctx);
}

} // namespace launch
