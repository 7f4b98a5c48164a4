#include "platform/Wildcard.h"

namespace platform {

namespace {
bool sameIgnoringCase(QChar a, QChar b) {
    if (a == b)
        return true;
    // ASCII, nearly every file name, folds without the Unicode tables.
    if (a.unicode() < 0x80 && b.unicode() < 0x80)
        return (a.unicode() | 0x20) == (b.unicode() | 0x20) && (a.unicode() | 0x20) >= 'a' &&
               (a.unicode() | 0x20) <= 'z';
    return a.toCaseFolded() == b.toCaseFolded();
}

// Windows names cannot hold '*', '?' or a backslash, and there a backslash
// separates directories: it escapes nothing.
constexpr bool escapes() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

bool isEscape(QStringView pattern, qsizetype p) {
    return escapes() && pattern[p] == QLatin1Char('\\') && p + 1 < pattern.size();
}
} // namespace

bool wildcardMatch(QStringView pattern, QStringView name) {
    // Greedy match with one back-track point: the last '*' seen. Linear in
    // practice, O(pattern * name) at worst, never recursive.
    qsizetype p = 0, n = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            resumeAt = n;
            continue;
        }
        if (p < pattern.size()) {
            const bool escaped = isEscape(pattern, p);
            const QChar c = pattern[escaped ? p + 1 : p];
            if ((!escaped && c == QLatin1Char('?')) || sameIgnoringCase(c, name[n])) {
                p += escaped ? 2 : 1;
                ++n;
                continue;
            }
        }
        if (starAt < 0)
            return false;
        p = starAt + 1;
        n = ++resumeAt;
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool hasWildcards(QStringView pattern) {
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?')) ||
           (escapes() && pattern.contains(QLatin1Char('\\')));
}

QString literalPattern(QStringView text) {
    QString pattern;
    pattern.reserve(text.size());
    for (const QChar c : text) {
        if (escapes() && (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('\\')))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern;
}

} // namespace platform
