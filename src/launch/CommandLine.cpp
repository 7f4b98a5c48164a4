#include "launch/CommandLine.h"

#include "catalogue/PatchName.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace launch {

QString baseCommand(const QString& quakeDir, const QString& gameCommand) {
    return quakeDir.toUpper() + platform::separator() + gameCommand.toLower();
}

QString patchLaunchCommand(const QString& quakeDir, const QString& gameCommand,
                           const QString& patch) {
    return baseCommand(quakeDir, gameCommand) + QStringLiteral(" -game ") + patch.toUpper();
}

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

platform::ProgramLookup engineLookup(const QString& quakeDir) {
    return {quakeDir, QStringLiteral("\"Program And Command Line\" on the Setup tab")};
}

bool approvedGameWords(const QString& title, QStringList* appended) {
    const catalogue::OfficialGame* game = catalogue::officialGameTitled(title);
    if (!game)
        return false;
    *appended = platform::splitWords(QString::fromLatin1(game->appended));
    return true;
}

} // namespace launch
