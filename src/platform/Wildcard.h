#pragma once

#include <QStringView>

namespace platform {

// Matches a file name against a pattern in which '*' stands for any run of
// characters and '?' for exactly one; letter case is ignored. Every other
// character is literal. Hand-written because Qt's wildcard filters also give
// '[' a meaning, and patch names such as "[dm]pack" must match literally.
bool wildcardMatch(QStringView pattern, QStringView name);

bool hasWildcards(QStringView pattern);

} // namespace platform
