#include "state/SettingsFile.h"

#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/SequentialFile.h"
#include "platform/UserDirectories.h"
#include "state/Context.h"

#include <QFileInfo>

namespace state {

void readSettings(Context& ctx) {
    const SettingsRead read = tryReadSettings(ctx.settingsFile);
    if (!read.problem.isEmpty())
        throw platform::Error(read.problem, QString(), QString());
    ctx.QuakeDir = read.values.at(0);
    ctx.GameCommand = read.values.at(1);
}

SettingsRead tryReadSettings(const QString& path) {
    SettingsRead result;
    QString reason;
    const auto bytes = platform::readFileBytes(path, &reason);
    if (!bytes) {
        result.problem = platform::Error(QStringLiteral("Cannot read the settings file"),
                                         platform::nativePath(path), reason)
                             .message();
        return result;
    }
    platform::FieldReader fields(platform::decodeText(*bytes));
    while (result.values.size() < 2) {
        const auto value = fields.next();
        if (!value) {
            result.problem =
                platform::Error(
                    QStringLiteral("Cannot read the settings file"), platform::nativePath(path),
                    QStringLiteral("it holds only %1 of its two values").arg(result.values.size()))
                    .message();
            break;
        }
        result.values.append(*value);
    }
    return result;
}

void writeSettings(const QString& path, const QString& quakeDir, const QString& gameCommand) {
    // The per-user configuration directory is made by the first Exit.
    const QFileInfo file(path);
    if (!file.isSymLink() && !QFileInfo::exists(file.absolutePath()))
        platform::makeDirectories(file.absolutePath());
    platform::OutputFile out(path);
    out.writeRecord(quakeDir);
    out.writeRecord(gameCommand);
    out.close();
}

} // namespace state
