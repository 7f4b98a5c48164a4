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

QStringList baseWords(const QString& quakeDir, const QString& gameCommand) {
    return platform::splitWords(gameCommand.toLower(), quakeDir.toUpper() + platform::separator());
}

QStringList patchLaunchWords(const QString& quakeDir, const QString& gameCommand,
                             const QString& patch) {
    QStringList words = baseWords(quakeDir, gameCommand);
    words.append(QStringLiteral("-game"));
    if (!patch.isEmpty())
        words.append(patch.toUpper());
    return words;
}

bool approvedGameWords(const QString& title, QStringList* appended) {
    const catalogue::OfficialGame* game = catalogue::officialGameTitled(title);
    if (!game)
        return false;
    *appended = platform::splitWords(QString::fromLatin1(game->appended));
    return true;
}

} // namespace launch
