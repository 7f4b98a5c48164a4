#pragma once

#include <QString>
#include <QStringView>

namespace platform {

// Matches a file name against a pattern in which '*' stands for any run of
// characters and '?' for exactly one; letter case is ignored. Where file
// names may hold '*' and '?' (every host but Windows), a backslash makes the
// character after it literal. Every other character is literal.
// Hand-written because Qt's wildcard filters also give '[' a meaning, and
// patch names such as "[dm]pack" must match literally.
bool wildcardMatch(QStringView pattern, QStringView name);

// True when the pattern must be matched against names rather than looked up
// as one exact name: it holds a wildcard or an escape.
bool hasWildcards(QStringView pattern);

// `text` as a piece of pattern that matches exactly that text (letter case
// still ignored): its '*', '?' and backslashes escaped where they can occur
// in names.
QString literalPattern(QStringView text);

} // namespace platform
