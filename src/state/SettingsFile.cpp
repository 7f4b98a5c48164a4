#include "state/SettingsFile.h"

#include "platform/Deadline.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/SequentialFile.h"
#include "platform/UserDirectories.h"
#include "state/Context.h"

#include <QFileInfo>

#include <tuple>
#include <utility>

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
    std::optional<QByteArray> bytes;
    try {
        // Bounded like every call on storage: a portable file on a share
        // that stopped answering must not hold start-up.
        std::tie(bytes, reason) = platform::withinDeadline(path, [path] {
            QString why;
            auto read = platform::readFileBytes(path, &why);
            return std::pair(std::move(read), std::move(why));
        });
    } catch (const platform::Error& error) {
        reason = error.reason();
    }
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
