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

namespace {

constexpr char16_t escapeBase = 0xDC00; // + byte, as Python's "surrogateescape"

bool isEscapedByte(QChar c, QChar before) {
    return c.unicode() >= escapeBase + 0x80 && c.unicode() <= escapeBase + 0xFF &&
           !before.isHighSurrogate();
}

// The length of the valid UTF-8 sequence at `at`, or 0.
qsizetype utf8Length(QByteArrayView bytes, qsizetype at, char32_t* code) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    qsizetype length = 0;
    char32_t value = 0, least = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid.
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

} // namespace

// Hand-written: Qt's decoders turn every invalid byte into U+FFFD, which
// loses which byte it was and cannot be told from a real U+FFFD.
QString undecodableFileName(QByteArrayView bytes) {
    QString name;
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t code = 0;
        const qsizetype length = utf8Length(bytes, at, &code);
        if (length == 0) {
            name += QChar(char16_t(escapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUcs4(&code, 1);
        at += length;
    }
    return name;
}

bool holdsUndecodableBytes(QStringView path) {
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isEscapedByte(path[i], i > 0 ? path[i - 1] : QChar()))
            return true;
    }
    return false;
}

QString visibleFileName(const QString& path) {
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (isEscapedByte(path[i], i > 0 ? path[i - 1] : QChar()))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

} // namespace platform
