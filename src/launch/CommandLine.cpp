#include "launch/CommandLine.h"

#include "catalogue/PatchName.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace launch {

QStringList baseWords(const QString& gameCommand) {
    QStringList words = platform::splitWords(gameCommand.toLower());
    if (words.isEmpty())
        words.append(QString()); // no program given: say so, start nothing
    return words;
}

QStringList patchLaunchWords(const QString& gameCommand, const QString& patchDirectory) {
    QStringList words = baseWords(gameCommand);
    words.append(QStringLiteral("-game"));
    if (!patchDirectory.isEmpty())
        words.append(patchDirectory);
    return words;
}

platform::ProgramLookup engineLookup(const QString& quakeDir,
                                     const installations::EnginePlaces& engines) {
    return {quakeDir, QStringLiteral("\"Program And Command Line\" on the Setup tab"),
            [quakeDir, engines] {
                return installedEnginesText(installations::findEngines(engines, quakeDir, false),
                                            quakeDir);
            }};
}

QString installedEnginesText(const std::vector<installations::Engine>& engines,
                             const QString& quakeDir) {
    if (engines.empty())
        return QStringLiteral(
            "No Quake engine was found on this computer (ironwail, vkquake, quakespasm, fteqw "
            "or darkplaces, in the Quake directory, on PATH, in /usr/games or "
            "/usr/local/games). Install one, such as Debian's quakespasm package, then type "
            "its name, or its full path (/usr/games/quakespasm) where PATH lacks its "
            "directory.");
    QString text = QStringLiteral("Quake engines on this computer (type one of these):");
    for (const installations::Engine& engine : engines) {
        const QString command = installations::engineCommand(engine, quakeDir);
        text += QStringLiteral("\n  ") + command;
        if (command != engine.program)
            text +=
                QStringLiteral("    (") + platform::nativePath(engine.program) + QLatin1Char(')');
    }
    return text;
}

bool approvedGameWords(const QString& title, QStringList* appended) {
    const catalogue::OfficialGame* game = catalogue::officialGameTitled(title);
    if (!game)
        return false;
    *appended = platform::splitWords(QString::fromLatin1(game->appended));
    return true;
}

} // namespace launch
