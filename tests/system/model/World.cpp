#include "World.h"

#include "app/StartUp.h"
#include "platform/Drives.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <optional>

#include <unistd.h>

namespace window_model {

bool openableDir(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir() &&
           ::access(QFile::encodeName(path).constData(), R_OK | X_OK) == 0;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable or none>");
}

bool runCommand(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString ci(const QString& s) {
    return s.toCaseFolded();
}

QString entryIgnoringCase(const QString& dir, const QString& name) {
    for (const QString& entry : QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (ci(entry) == ci(name))
            return dir + QLatin1Char('/') + entry;
    }
    return {};
}

World::World(Random& random, bool permissionFaults)
    : asRoot(::geteuid() == 0), permissions(permissionFaults && !asRoot), random_(random) {
    root = tree_.path();
    // The start directory is the per-user configuration directory too: the
    // file watched here is the one Exit writes whether or not start-up
    // found one in the start directory.
    start = tree_.dir("config/runemark");
    configHome_ =
        std::make_unique<testing_support::ScopedVariable>("XDG_CONFIG_HOME", tree_.path("config"));
    stash = tree_.dir("stash");
    quake = layQuake("quake", {"ctf", "arcane", "zoë mod"});
    usb = tree_.dir("usb");
    quake2 = layQuake("usb/quake2", {"arcane"});
    quake3 = layQuake("usb/Jeu \"Élite\", v2", {"ctf"});
    tree_.file("quake/ctf/ctf.txt", "read me");
    tree_.file("quake/arcane/README.TXT", "read me");
    settings = start + QStringLiteral("/runemark.ini");
    forgetDriveDirectories();
    // Root can lay a small file system under the start directory, to fill
    // it or make it read-only; a permission bit would not stop root.
    if (asRoot && runCommand("mount", {"-t", "tmpfs", "-o", "size=64k,mode=0777", "tmpfs", start}))
        mounted = true;
}

World::~World() {
    // Locked directories may have moved since: open every one for removal.
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(root, open);
    QDirIterator all(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString dir = all.next();
        QFile::setPermissions(dir, open);
    }
    if (mounted)
        runCommand("umount", {"-l", start});
    platform::setMountTableForTesting(std::nullopt);
}

QString World::layQuake(const QString& at, const QStringList& patches) const {
    tree_.file(at + "/id1/pak0.pak", "PACK");
    tree_.file(at + "/hipnotic/pak0.pak", "PACK");
    tree_.file(at + "/rogue/pak0.pak", "PACK");
    tree_.file(at + "/maps/e1m1.bsp", "BSP");
    for (const QString& patch : patches)
        tree_.file(at + "/" + patch + "/progs.dat", "progs");
    for (const char* program : {"quake", "winquake"}) {
        const QString path = tree_.file(at + "/" + program, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup |
                                        QFile::ExeOther);
    }
    return tree_.path(at);
}

void World::forgetDriveDirectories() const {
    platform::setMountTableForTesting(
        QList<platform::Mount>{{"/", "/dev/sda1", "ext4"}, {usb, "/dev/sdb1", "vfat"}});
}

void World::topUpFiller() const {
    QFile filler(start + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
        return;
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("x", 1) == 1) {
    }
}

void World::writeSettings(const QByteArray& bytes) const {
    QFile::remove(settings);
    QDir(settings).removeRecursively();
    QFile out(settings);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

// ---- the faults

QString World::quakeInUse(const Aim& aim) const {
    for (const QString& dir : {quake, quake2, quake3}) {
        if (aim.dirShown == dir)
            return dir;
    }
    return quake;
}

bool World::moveAway(const QString& dir, const QString& to) {
    if (!QFileInfo(dir).isDir() || QFileInfo(dir).isSymLink())
        return false;
    if (!QDir().rename(dir, to))
        return false;
    moved_.emplace_back(dir, to);
    return true;
}

bool World::removeQuake(const Aim& aim) {
    return moveAway(quakeInUse(aim), stash + QStringLiteral("/%1").arg(stashed_++));
}

bool World::renameQuake(const Aim& aim) {
    const QString dir = quakeInUse(aim);
    return moveAway(dir, dir + QStringLiteral("-moved%1").arg(stashed_++));
}

bool World::quakeToFile(const Aim& aim) {
    const QString dir = quakeInUse(aim);
    if (!removeQuake(aim))
        return false;
    QFile file(dir);
    return file.open(QIODevice::WriteOnly) && file.write("not a directory") > 0;
}

bool World::lockQuake(const Aim& aim) {
    if (!permissions)
        return false;
    const QString dir = quakeInUse(aim);
    if (!QFileInfo(dir).isDir())
        return false;
    locked_.append(dir);
    return QFile::setPermissions(dir, QFileDevice::Permissions());
}

bool World::restoreQuake(const Aim&) {
    const bool any = !moved_.empty() || !locked_.isEmpty();
    for (auto it = moved_.rbegin(); it != moved_.rend(); ++it) {
        if (QFileInfo(it->first).isFile())
            QFile::remove(it->first);
        QDir().rename(it->second, it->first);
    }
    moved_.clear();
    for (const QString& dir : std::as_const(locked_))
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    locked_.clear();
    return any;
}

bool World::removeSettings(const Aim&) {
    if (!canWriteStart())
        return false;
    return QFile::remove(settings) || QDir(settings).removeRecursively();
}

bool World::cutSettings(const Aim&) {
    const QByteArray bytes = bytesOf(settings);
    if (!canWriteStart() || !QFileInfo(settings).isFile() || bytes.isEmpty())
        return false;
    const qsizetype lineEnd = bytes.indexOf('\n');
    const qsizetype keep = random_.chance(0.5) && lineEnd > 0
                               ? lineEnd + 1
                               : random_.pick(static_cast<int>(bytes.size()));
    writeSettings(bytes.left(keep));
    return true;
}

bool World::binarySettings(const Aim&) {
    if (!canWriteStart())
        return false;
    QByteArray bytes;
    const int n = random_.pick(80);
    for (int i = 0; i < n; ++i)
        bytes.append(static_cast<char>(random_.pick(256)));
    writeSettings(bytes);
    return true;
}

bool World::readOnlySettings(const Aim&) {
    if (!QFileInfo(settings).isFile())
        return false;
    return QFile::setPermissions(settings, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

bool World::settingsDirectory(const Aim&) {
    if (!canWriteStart())
        return false;
    QFile::remove(settings);
    return QDir().mkdir(settings);
}

bool World::goodSettings(const Aim&) {
    if (!canWriteStart())
        return false;
    const QString dirs[] = {quake, quake2, quake3};
    const QString dir = dirs[random_.pick(3)];
    writeSettings(
        ("\"" + dir + "\"\r\n\"" + app::CommandPresets.at(random_.pick(4)) + "\"\r\n").toUtf8());
    return true;
}

bool World::addPatch(const Aim& aim) {
    static const char* names[] = {"newmod", "Nouveau Mod", "Ärger", "ctf2"};
    const QString dir = quakeInUse(aim);
    if (!openableDir(dir) || !QFileInfo(dir).isWritable())
        return false;
    tree_.file(QDir(root).relativeFilePath(dir) + "/" + names[random_.pick(4)] + "/progs.dat",
               "progs");
    return true;
}

bool World::removePatch(const Aim& aim) {
    const QString dir = quakeInUse(aim);
    const QStringList patches = QDir(dir)
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                    .filter(QRegularExpression("^(?!id1$|maps$)"));
    if (patches.isEmpty())
        return false;
    // Often the one the player has selected, to be played next.
    const QString selected = entryIgnoringCase(dir, aim.selectedPatch);
    if (!selected.isEmpty() && QFileInfo(selected).isDir() && random_.chance(0.6))
        return QDir(selected).removeRecursively();
    return QDir(dir + "/" + patches.at(random_.pick(static_cast<int>(patches.size()))))
        .removeRecursively();
}

bool World::readOnlyStart(const Aim&) {
    if (startReadOnly)
        return false;
    if (mounted)
        startReadOnly = runCommand("mount", {"-o", "remount,ro", start});
    else if (permissions)
        startReadOnly = QFile::setPermissions(start, QFile::ReadOwner | QFile::ExeOwner);
    return startReadOnly;
}

bool World::fillStart(const Aim&) {
    if (!mounted || startReadOnly || startFull)
        return false;
    startFull = true;
    topUpFiller();
    return true;
}

bool World::freeStart(const Aim&) {
    if (!startReadOnly && !startFull)
        return false;
    if (startReadOnly) {
        if (mounted)
            runCommand("mount", {"-o", "remount,rw", start});
        else
            QFile::setPermissions(start, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        startReadOnly = false;
    }
    QFile::remove(start + "/filler");
    startFull = false;
    return true;
}

} // namespace window_model
