// The wildcard matcher: pattern and name split at the first NUL byte.
#include "platform/Wildcard.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype cut = bytes.indexOf('\0');
    const QString pattern = QString::fromUtf8(cut < 0 ? bytes : bytes.left(cut));
    const QString name = QString::fromUtf8(cut < 0 ? QByteArray() : bytes.mid(cut + 1));
    const bool match = platform::wildcardMatch(pattern, name);
    if (!platform::wildcardMatch(QStringLiteral("*"), name))
        std::abort(); // a lone star matches every name
    if (!platform::hasWildcards(pattern)) {
        if (match && pattern.size() != name.size())
            std::abort(); // a literal pattern matches only a name of its length
        if (!platform::wildcardMatch(QStringLiteral("*") + pattern + QStringLiteral("*"),
                                     QStringLiteral("x") + pattern + QStringLiteral("y")))
            std::abort(); // and is found inside any text that holds it
    }
    return 0;
}
