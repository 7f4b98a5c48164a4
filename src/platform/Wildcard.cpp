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
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || sameIgnoringCase(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool hasWildcards(QStringView pattern) {
    return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
}

} // namespace platform
