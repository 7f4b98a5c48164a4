// A randomised, model-based test of the whole launcher: it drives the real
// main window, active under a real X server, through key and mouse events,
// breaks the files and directories under it between steps, and after every
// step checks the window against a small model of what the player sees.
//
// Knobs (environment):
//   RUNEMARK_MODEL_SEED=n        replay the one sequence printed with seed n
//   RUNEMARK_MODEL_SEQUENCES=n   sequences per test (default below)
//   RUNEMARK_MODEL_BASE=n|random first seed of the run (default fixed, so CI
//                                repeats itself; "random" explores new ones)
//
// The parts, by role: World (the files and directories under the window, and
// the faults laid on them), Model (what the player sees, and the checks),
// Player and Input (the actions, by key and mouse), and here the driver: the
// one random source, the tables of actions and faults, and the tests.

#include "Input.h"
#include "Model.h"
#include "Player.h"
#include "Random.h"
#include "World.h"
#include "app/StartUp.h"
#include "support/Unprivileged.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>

#include <unistd.h>

using namespace window_model;

namespace {

class Sequence {
  public:
    Sequence(quint64 seed, bool permissions)
        : random_(seed), w_(random_, permissions), c_(seed, w_), player_(random_, w_, c_) {}

    void run(int steps) {
        initialSettings();
        c_.startRun();
        for (int step = 0; step < steps && !c_.stopped(); ++step) {
            c_.atStep(step);
            if (random_.chance(0.3))
                injectFault();
            else
                act();
            QCoreApplication::processEvents();
        }
        c_.endRun();
        if (qEnvironmentVariableIsSet("RUNEMARK_MODEL_LOG"))
            std::printf("%s\n", qPrintable(c_.log()));
    }

  private:
    // ---- the settings at the start of a sequence

    void initialSettings() {
        if (!w_.canWriteStart())
            return;
        const int kind = random_.pick(5);
        if (kind == 0)
            return; // a first run
        const QString dirs[] = {w_.quake, w_.quake2, w_.quake3};
        const QString dir = dirs[random_.pick(3)];
        const QString command =
            kind >= 3 ? QString(typedTexts.at(random_.pick(static_cast<int>(typedTexts.size()))))
                            .remove('"')
                      : app::CommandPresets.at(random_.pick(4));
        w_.writeSettings(("\"" + dir + "\"\r\n\"" + command + "\"\r\n").toUtf8());
        c_.note(QStringLiteral("settings: %1 / %2").arg(dir, command));
    }

    // ---- the action table

    void act() {
        struct Action {
            const char* name;
            int weight;
            void (Player::*run)();
        };
        static const Action actions[] = {
            {"type", 6, &Player::typeIntoCombo1},
            {"choose command", 3, &Player::chooseCommand},
            {"open directory", 5, &Player::openDirectory},
            {"choose drive", 2, &Player::chooseDrive},
            {"tab", 2, &Player::switchTab},
            {"check1", 2, &Player::clickCheck1},
            {"play", 5, &Player::play},
            {"double-click", 4, &Player::doubleClickPatch},
            {"menu", 5, &Player::contextMenu},
            {"esc", 2, &Player::escape},
            {"exit", 3, &Player::exitButton},
            {"close box", 1, &Player::closeBox},
        };
        int total = 0;
        for (const Action& a : actions)
            total += a.weight;
        int at = random_.pick(total);
        for (const Action& a : actions) {
            if ((at -= a.weight) < 0) {
                (player_.*a.run)();
                return;
            }
        }
    }

    // ---- the fault table

    void injectFault() {
        struct Fault {
            const char* name;
            bool (World::*inject)(const Aim&);
        };
        static const Fault faults[] = {
            {"Quake directory removed", &World::removeQuake},
            {"Quake directory renamed", &World::renameQuake},
            {"Quake directory unreadable", &World::lockQuake},
            {"Quake directory replaced by a file", &World::quakeToFile},
            {"Quake directories back", &World::restoreQuake},
            {"settings file removed", &World::removeSettings},
            {"settings file cut short", &World::cutSettings},
            {"settings file binary", &World::binarySettings},
            {"settings file read-only", &World::readOnlySettings},
            {"settings file a directory", &World::settingsDirectory},
            {"settings file rewritten", &World::goodSettings},
            {"patch added", &World::addPatch},
            {"patch removed", &World::removePatch},
            {"start directory read-only", &World::readOnlyStart},
            {"start directory full", &World::fillStart},
            {"start directory writable again", &World::freeStart},
        };
        const Fault& fault = faults[random_.pick(static_cast<int>(std::size(faults)))];
        const Aim aim{c_.model().dirShown, player_.selectedPatch()};
        if ((w_.*fault.inject)(aim))
            c_.note(QStringLiteral("fault: %1").arg(fault.name));
        c_.takeSettingsFileAsIs();
    }

    // Declared in the order they are built: the random source first, the
    // checker's program gone before the world under it.
    Random random_;
    World w_;
    Checker c_;
    Player player_;
};

int sequencesWanted(int fallback) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("RUNEMARK_MODEL_SEQUENCES", &ok);
    return ok && n > 0 ? n : fallback;
}

quint64 baseSeed() {
    const QByteArray base = qgetenv("RUNEMARK_MODEL_BASE");
    if (base == "random")
        return static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
    bool ok = false;
    const quint64 n = base.toULongLong(&ok);
    return ok ? n : 20261207;
}

constexpr int stepsPerSequence = 40;

void runSequences(const char* name, quint64 offset, int fallbackCount, bool permissions) {
    bool replay = false;
    const quint64 only = qEnvironmentVariable("RUNEMARK_MODEL_SEED").toULongLong(&replay);
    const int count = replay ? 1 : sequencesWanted(fallbackCount);
    const quint64 first = replay ? only : baseSeed() + offset;
    for (int i = 0; i < count; ++i) {
        const quint64 seed = first + static_cast<quint64>(i);
        std::printf("[model] %s: sequence %d of %d, seed %llu\n", name, i + 1, count,
                    static_cast<unsigned long long>(seed));
        std::fflush(stdout);
        Sequence(seed, permissions).run(stepsPerSequence);
        if (::testing::Test::HasFailure())
            break;
    }
    printFindings(name);
}

// The rerun as "nobody" must reach the X server, whose cookie file only root
// can read: while it runs, it gets a copy of its own.
struct DisplayForNobody {
    QByteArray previous = qgetenv("XAUTHORITY");
    QString copy;
    DisplayForNobody() {
        if (::geteuid() != 0 || previous.isEmpty())
            return;
        copy = QDir::tempPath() + QStringLiteral("/runemark-model-xauth-%1").arg(::getpid());
        QFile::remove(copy);
        if (!QFile::copy(QString::fromLocal8Bit(previous), copy) ||
            ::chown(QFile::encodeName(copy).constData(), 65534, 65534) != 0)
            return;
        qputenv("XAUTHORITY", QFile::encodeName(copy));
    }
    ~DisplayForNobody() {
        if (copy.isEmpty())
            return;
        qputenv("XAUTHORITY", previous);
        QFile::remove(copy);
    }
};

} // namespace

TEST(WindowModel, RandomSequencesKeepTheRules) {
    runSequences("WindowModel", 0, 56, false);
}

// The same with the permission faults, which only bite an unprivileged user.
TEST(WindowModel, RandomSequencesWithPermissionFaults) {
    const DisplayForNobody display;
    RUNEMARK_PERMISSION_TEST();
    runSequences("WindowModel (unprivileged)", 1000000, 24, true);
}
