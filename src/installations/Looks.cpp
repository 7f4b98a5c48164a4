#include "installations/Looks.h"

#include "platform/Paths.h"

#include <QFile>

namespace installations {

namespace {

// The stores' records are a few kilobytes; anything far larger is not one.
constexpr qint64 MaxRecordSize = qint64(4) * 1024 * 1024;

} // namespace

std::optional<QByteArray> readRecord(const QString& path) {
    return probe<std::optional<QByteArray>>(path, [path]() -> std::optional<QByteArray> {
        QFile file(platform::resolveCase(path));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray bytes = file.read(MaxRecordSize + 1);
        if (bytes.size() > MaxRecordSize || file.error() != QFileDevice::NoError)
            return std::nullopt;
        return bytes;
    });
}

QString under(const QString& dir, const QString& relative) {
    return platform::withoutTrailingSeparator(dir) + QLatin1Char('/') + relative;
}

} // namespace installations
