#pragma once

#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace testing_support {

// The Quake directory most tests start from: id1, hipnotic and rogue with
// .pak files, ctf with progs.dat and its read-me, maps with neither.
inline QString makeQuake(const TempTree& tree, const QString& at = QStringLiteral("quake")) {
    tree.file(at + "/id1/pak0.pak", "PACK");
    tree.file(at + "/hipnotic/pak0.pak", "PACK");
    tree.file(at + "/rogue/pak0.pak", "PACK");
    tree.file(at + "/ctf/progs.dat", "progs");
    tree.file(at + "/ctf/ctf.txt", "read me");
    tree.file(at + "/maps/e1m1.bsp", "BSP");
    return tree.path(at);
}

// The bytes of a settings file holding the two values.
inline QByteArray ini(const QString& quakeDir, const QString& command) {
    return ("\"" + quakeDir + "\"\r\n\"" + command + "\"\r\n").toLocal8Bit();
}

// runemark.ini in `dir` of the tree holding the two values.
inline void writeIni(const TempTree& tree, const QString& quakeDir, const QString& command,
                     const QString& dir = QStringLiteral("start")) {
    tree.file(dir + "/runemark.ini", ini(quakeDir, command));
}

// Where a program started without runemark.ini in its start directory keeps
// its settings: under the test's own home (see TestMain).
inline QString perUserIni() {
    return QDir::homePath() + QStringLiteral("/.config/runemark/runemark.ini");
}

// The whole content of the file at `path`; empty when it cannot be read.
inline QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testing_support
