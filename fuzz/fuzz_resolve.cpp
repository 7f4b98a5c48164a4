// The case resolver on a small mixed-case tree with links and loops: any
// path resolves without crashing, and a path that exists comes back as is.
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
const QString& root() {
    static QTemporaryDir dir;
    static const bool laid = [] {
        const QString r = dir.path();
        QDir().mkpath(r + QStringLiteral("/Quake/ID1/maps"));
        QDir().mkpath(r + QStringLiteral("/Quake/ctf"));
        QDir().mkpath(r + QStringLiteral("/Quake/CTF"));
        QFile(r + QStringLiteral("/Quake/ID1/PAK0.PAK")).open(QIODevice::WriteOnly);
        QFile::link(r + QStringLiteral("/Quake"), r + QStringLiteral("/Quake/Loop"));
        QFile::link(r + QStringLiteral("/nowhere"), r + QStringLiteral("/Quake/Dangling"));
        return true;
    }();
    (void)laid;
    static const QString path = dir.path();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString tail =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (tail.contains(QLatin1String("..")))
        return 0; // stay inside the tree
    const QString path = root() + QLatin1Char('/') + tail;
    const QString resolved = platform::resolveCaseAlways(path);
    const QFileInfo exact(path);
    if ((exact.exists() || exact.isSymLink()) && resolved != path)
        std::abort();
    if (resolved.compare(path, Qt::CaseInsensitive) != 0 &&
        QDir::cleanPath(resolved).compare(QDir::cleanPath(path), Qt::CaseInsensitive) != 0)
        std::abort(); // only letter case may change
    return 0;
}
