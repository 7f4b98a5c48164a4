#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace platform {

QChar separator() {
    return QDir::separator();
}

bool caseSensitiveHost() {
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return false;
#else
    return true;
#endif
}

namespace {

bool entryExists(const QString& path) {
    // A dangling symbolic link is still an entry with that name.
    QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The entry of `dir` equal to `name` ignoring case; empty when none.
QString caseVariant(const QString& dir, const QString& name) {
    const QStringList entries =
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString best;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (best.isEmpty() || entry < best))
            best = entry;
    }
    return best;
}

} // namespace

QString resolveCaseAlways(const QString& path) {
    if (path.isEmpty() || entryExists(path))
        return path;

    const QString normal = QDir::fromNativeSeparators(path);
    const bool absolute = normal.startsWith(QLatin1Char('/'));
    const bool trailing = normal.size() > 1 && normal.endsWith(QLatin1Char('/'));
    const QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString resolved = absolute ? QStringLiteral("/") : QString();
    bool lost = false; // once a component matches nothing, the rest is kept as given
    for (const QString& part : parts) {
        QString next = part;
        if (!lost && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QString candidate = resolved.isEmpty() || resolved.endsWith(QLatin1Char('/'))
                                          ? resolved + part
                                          : resolved + QLatin1Char('/') + part;
            if (!entryExists(candidate)) {
                const QString variant = caseVariant(resolved, part);
                if (variant.isEmpty())
                    lost = true;
                else
                    next = variant;
            }
        }
        if (!resolved.isEmpty() && !resolved.endsWith(QLatin1Char('/')))
            resolved += QLatin1Char('/');
        resolved += next;
    }
    if (trailing && !resolved.endsWith(QLatin1Char('/')))
        resolved += QLatin1Char('/');
    return QDir::toNativeSeparators(resolved);
}

QString resolveCase(const QString& path) {
    return caseSensitiveHost() ? resolveCaseAlways(path) : path;
}

QString withoutTrailingSeparator(const QString& path) {
    QString result = path;
    auto isSep = [](QChar c) { return c == QLatin1Char('/') || c == separator(); };
    while (result.size() > 1 && isSep(result.back())) {
        // Keep the separator of a drive root such as "C:\".
        if (result.size() == 3 && result.at(1) == QLatin1Char(':'))
            break;
        result.chop(1);
    }
    return result;
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace platform
