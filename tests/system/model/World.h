#pragma once

#include "Random.h"
#include "support/ScopedVariable.h"
#include "support/TempTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace window_model {

// ---- Small helpers over the file system.

bool openableDir(const QString& path);
QByteArray bytesOf(const QString& path);
bool runCommand(const QString& program, const QStringList& args);
QString ci(const QString& s);
// The entry of `dir` named `name` ignoring case, or empty text.
QString entryIgnoringCase(const QString& dir, const QString& name);

// What the faults aim at: the directory Dir1 shows, and the patch selected
// in List2.
struct Aim {
    QString dirShown;
    QString selectedPatch;
};

// ---- The world under the window: a start directory, Quake directories on
// two drives, and the faults that can be laid on them.

class World {
  public:
    // `permissionFaults`: lay the faults of permission bits too, which only
    // bite an unprivileged user.
    World(Random& random, bool permissionFaults);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    QString root, start, quake, usb, quake2, quake3, stash, settings;
    bool asRoot;
    bool permissions;           // the permission faults are laid
    bool mounted = false;       // a small tmpfs holds the start directory
    bool startReadOnly = false; // remounted read-only, or mode 555
    bool startFull = false;

    bool canWriteStart() const { return !startReadOnly && !startFull; }
    // Two drives: the root, and a volume mounted inside the tree.
    void forgetDriveDirectories() const;
    // Fills the start directory's file system to the last byte.
    void topUpFiller() const;
    void writeSettings(const QByteArray& bytes) const;

    // ---- the faults: each returns whether it took hold

    bool removeQuake(const Aim& aim);
    bool renameQuake(const Aim& aim);
    bool lockQuake(const Aim& aim);
    bool quakeToFile(const Aim& aim);
    bool restoreQuake(const Aim&);
    bool removeSettings(const Aim&);
    bool cutSettings(const Aim&);
    bool binarySettings(const Aim&);
    bool readOnlySettings(const Aim&);
    bool settingsDirectory(const Aim&);
    bool goodSettings(const Aim&);
    bool addPatch(const Aim& aim);
    bool removePatch(const Aim& aim);
    bool readOnlyStart(const Aim&);
    bool fillStart(const Aim&);
    bool freeStart(const Aim&);

  private:
    QString layQuake(const QString& at, const QStringList& patches) const;
    // The Quake directory in use: Dir1's, if it is one of the tree's.
    QString quakeInUse(const Aim& aim) const;
    bool moveAway(const QString& dir, const QString& to);

    Random& random_;
    testing_support::TempTree tree_;
    int stashed_ = 0;
    std::vector<std::pair<QString, QString>> moved_; // original place, where it is now
    QStringList locked_;                             // directories made mode 000
    std::unique_ptr<testing_support::ScopedVariable> configHome_;
};

} // namespace window_model
