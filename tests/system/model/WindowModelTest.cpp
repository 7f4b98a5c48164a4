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

#include "app/StartUp.h"
#include "app/state/Context.h"
#include "app/state/SettingsFile.h"
#include "platform/Drives.h"
#include "platform/Process.h"
#include "support/Harness.h"
#include "support/TempTree.h"
#include "support/Unprivileged.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

// ---- Texts a player types or chooses.

const QStringList typedTexts = {
    QStringLiteral("quake -listen 8 +map e1m1"),
    QStringLiteral("winq"),
    QStringLiteral("quak"),
    QStringLiteral("winquake -dedicated 16"),
    QStringLiteral("quake +name \"Player One\" +map e1m1"),
    QStringLiteral("quake -heapsize 16000, +map start"),
    QStringLiteral("  quake -x  "),
    QStringLiteral("quake +name Zoë +say Grüße €"),
    QStringLiteral("quake +map 日本"),
    QStringLiteral("quake \"\""),
    QStringLiteral("\"quake\""),
    QStringLiteral("abc"),
    QStringLiteral("q"),
    QStringLiteral("quake ") + QStringLiteral("+set sv_name \"Ünïcode, long\" ").repeated(9),
};
const QStringList appendedTexts = {QStringLiteral(" +map e1m2"), QStringLiteral("\""),
                                   QStringLiteral(","),          QStringLiteral(" "),
                                   QStringLiteral("ü"),          QStringLiteral("#"),
                                   QStringLiteral(" -game ctf")};
const QString randomAlphabet = QStringLiteral("abcqukew -+#,\"'éß日\\/");

// ---- Small helpers over the file system.

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

// The entry of `dir` named `name` ignoring case, or empty text.
QString entryIgnoringCase(const QString& dir, const QString& name) {
    for (const QString& entry : QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (ci(entry) == ci(name))
            return dir + QLatin1Char('/') + entry;
    }
    return {};
}

// ---- What one run found, over all sequences.

struct Finding {
    int count = 0;
    quint64 firstSeed = 0;
    QString example;
};
std::map<QString, Finding>& findings() {
    static std::map<QString, Finding> all;
    return all;
}

void printFindings(const char* testName) {
    for (const auto& [rule, f] : findings()) {
        std::printf("[model] %s: rule %s broken %d time(s), first with seed %llu: %s\n", testName,
                    qPrintable(rule), f.count, static_cast<unsigned long long>(f.firstSeed),
                    qPrintable(f.example));
    }
    findings().clear();
}

// ---- The world under the window: a start directory, Quake directories on
// two drives, and the faults that can be laid on them.

struct World {
    TempTree tree;
    QString root, start, quake, usb, quake2, quake3, stash, settings;
    bool asRoot = ::geteuid() == 0;
    bool mounted = false;       // a small tmpfs holds the start directory
    bool startReadOnly = false; // remounted read-only, or mode 555
    bool startFull = false;
    int stashed = 0;
    std::vector<std::pair<QString, QString>> moved; // original place, where it is now
    QStringList locked;                             // directories made mode 000

    World() {
        root = tree.path();
        start = tree.dir("start");
        stash = tree.dir("stash");
        quake = layQuake("quake", {"ctf", "arcane", "zoë mod"});
        usb = tree.dir("usb");
        quake2 = layQuake("usb/quake2", {"arcane"});
        quake3 = layQuake("usb/Jeu \"Élite\", v2", {"ctf"});
        tree.file("quake/ctf/ctf.txt", "read me");
        tree.file("quake/arcane/README.TXT", "read me");
        settings = start + QStringLiteral("/runemark.ini");
        forgetDriveDirectories();
        // Root can lay a small file system under the start directory, to fill
        // it or make it read-only; a permission bit would not stop root.
        if (asRoot &&
            runCommand("mount", {"-t", "tmpfs", "-o", "size=64k,mode=0777", "tmpfs", start}))
            mounted = true;
    }
    ~World() {
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

    QString layQuake(const QString& at, const QStringList& patches) const {
        tree.file(at + "/id1/pak0.pak", "PACK");
        tree.file(at + "/hipnotic/pak0.pak", "PACK");
        tree.file(at + "/rogue/pak0.pak", "PACK");
        tree.file(at + "/maps/e1m1.bsp", "BSP");
        for (const QString& patch : patches)
            tree.file(at + "/" + patch + "/progs.dat", "progs");
        for (const char* program : {"quake", "winquake"}) {
            const QString path = tree.file(at + "/" + program, "#!/bin/sh\n");
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner |
                                            QFile::ExeGroup | QFile::ExeOther);
        }
        return tree.path(at);
    }

    bool canWriteStart() const { return !startReadOnly && !startFull; }

    // Two drives: the root, and a volume mounted inside the tree.
    void forgetDriveDirectories() const {
        platform::setMountTableForTesting(
            QList<platform::Mount>{{"/", "/dev/sda1", "ext4"}, {usb, "/dev/sdb1", "vfat"}});
    }

    // Fills the start directory's file system to the last byte.
    void topUpFiller() const {
        QFile filler(start + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
            return;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
    }

    void writeSettings(const QByteArray& bytes) const {
        QFile::remove(settings);
        QDir(settings).removeRecursively();
        QFile out(settings);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
    }
};

// ---- The model: what the player sees and chose.

struct Model {
    bool configured = false; // the settings were usable at start-up
    bool approved = false;   // Check1 ticked
    int tab = 0;
    QString comboText;
    QString gameCommand;
    QString dirShown;
    std::optional<QString> savedMissing; // a saved directory missing when read
    std::optional<QString> savedMayKeep; // one that could not be opened or read whole
    bool openedDir = false;              // the player opened another directory
    bool pickedDrive = false;
    QHash<QString, QString> driveMemory; // drive -> last directory Dir1 showed on it
};

// What one step may leave; empty lists mean "anything".
struct Expect {
    QStringList combo;
    QStringList commands;
    QStringList dirs;
    enum class Report { None, Required, Maybe } report = Report::None;
    std::optional<bool> configured; // unset: not checked, taken from the window
    const char* rule = "state";
    bool launches = false;        // a Play: check what started
    bool expectStart = false;     // Play was possible: nothing silent
    std::optional<QString> patch; // the patch Play was asked to start
    bool readme = false;
};

struct Saved {
    bool present = false;
    QStringList values;
    QString problem;
    bool usable() const {
        return present && problem.isEmpty() && values.size() == 2 && openableDir(values[0]);
    }
};

class Sequence {
  public:
    Sequence(quint64 seed, bool permissions)
        : seed_(seed), rng_(seed), permissions_(permissions && !w_.asRoot) {}

    void run(int steps) {
        initialSettings();
        startRun();
        for (int step = 0; step < steps && !stopped_; ++step) {
            step_ = step;
            if (chance(0.3))
                injectFault();
            else
                act();
            QCoreApplication::processEvents();
        }
        h_.reset();
        if (qEnvironmentVariableIsSet("RUNEMARK_MODEL_LOG"))
            std::printf("%s\n", qPrintable(log_.join('\n')));
    }

  private:
    // ---- randomness

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    QString randomText() {
        const int n = pick(14);
        QString text;
        for (int i = 0; i < n; ++i)
            text += randomAlphabet.at(pick(static_cast<int>(randomAlphabet.size())));
        return text;
    }

    void note(const QString& line) { log_.append(QStringLiteral("%1: %2").arg(step_).arg(line)); }

    // ---- verdicts

    void violated(const QString& rule, const QString& detail) {
        Finding& f = findings()[rule];
        if (f.count++ == 0) {
            f.firstSeed = seed_;
            f.example = QStringLiteral("step %1: %2").arg(step_).arg(detail);
        }
        ADD_FAILURE() << "seed " << seed_ << " (replay: RUNEMARK_MODEL_SEED=" << seed_ << "), step "
                      << step_ << ": rule " << rule << " broken: " << detail << "\nsteps:\n"
                      << log_.join('\n');
        stopped_ = true;
    }

    // ---- the program: one start of it

    void startRun() {
        h_.reset();                  // its recorder must be gone before the next one's is set
        w_.forgetDriveDirectories(); // a new process remembers none
        const Saved saved = readSaved();
        h_ = std::make_unique<Harness>(w_.start);
        h_->load();
        form().activateWindow();
        if (!QTest::qWaitForWindowActive(&form()))
            note(QStringLiteral("window did not become active"));
        QCoreApplication::processEvents();
        m_ = Model{};
        reportsSeen_ = 0;
        startsSeen_ = 0;
        fileBefore_ = bytesOf(w_.settings);

        Expect e;
        e.rule = "start-up";
        if (!saved.present) {
            e.configured = false;
            e.combo = {app::CommandPresets.at(0)};
            e.dirs = {w_.start};
        } else if (saved.usable()) {
            e.configured = true;
            e.combo = {saved.values[1]};
            e.commands = {saved.values[1]};
            e.dirs = {QDir::cleanPath(saved.values[0])};
            if (platform::isDriveText(e.dirs[0]))
                e.rule = "open-drive-root";
        } else {
            e.report = Expect::Report::Required;
            e.configured = false;
            e.combo = {saved.values.size() == 2 ? saved.values[1] : app::CommandPresets.at(0)};
            e.dirs = {w_.start};
            // Dir1 may have stopped on the way to a directory it could not
            // open: the saved directory's drive, or a directory above it.
            if (!saved.values.isEmpty()) {
                QString above = QDir::cleanPath(saved.values[0]);
                while (above.contains(QLatin1Char('/')) && above != QLatin1String("/")) {
                    above = QFileInfo(above).path();
                    e.dirs.append(above);
                }
            }
            rememberUnshown(saved);
            if (saved.values.size() == 2 && QFileInfo(saved.values[0]).isDir())
                e.rule = "unopenable-saved-dir";
        }
        note(QStringLiteral("start-up (%1)")
                 .arg(!saved.present   ? "no settings"
                      : saved.usable() ? "settings usable"
                                       : "settings unusable"));
        check(e);
    }

    Saved readSaved() const {
        Saved s;
        if (!QFileInfo(w_.settings).isFile())
            return s;
        s.present = true;
        const app::SettingsRead read = app::tryReadSettings(w_.settings);
        s.values = read.values;
        s.problem = read.problem;
        return s;
    }

    ui::Form1& form() { return *h_->form; }

    // ---- the check after every step

    void check(const Expect& e) {
        ui::Form1& f = form();
        const QStringList reports = h_->reported.mid(reportsSeen_);
        reportsSeen_ = static_cast<int>(h_->reported.size());
        lastReports_ = reports;
        for (const QString& r : reports)
            note(QStringLiteral("  reported: %1").arg(r));
        const auto starts =
            std::vector<QStringList>(h_->started.begin() + startsSeen_, h_->started.end());
        startsSeen_ = static_cast<int>(h_->started.size());
        for (const QStringList& s : starts)
            note(QStringLiteral("  started: %1").arg(s.join(QLatin1Char(' '))));

        const bool ended = h_->endRequests != 0;
        if (ended)
            violated(e.rule == QLatin1String("esc") ? "esc" : "no-end", "the program ended");
        if (!f.isVisible())
            violated(e.rule == QLatin1String("esc") ? "esc" : "no-end", "the window is gone");
        if (e.report == Expect::Report::None && !reports.isEmpty())
            violated(e.rule, "unexpected report: " + reports.join(" | "));
        if (e.report == Expect::Report::Required && reports.isEmpty())
            violated(e.rule, "an error went unreported");
        if (bytesOf(w_.settings) != fileBefore_)
            violated(e.rule == QLatin1String("esc") ? "esc" : "file-untouched",
                     "the settings file changed without Exit");

        const QString combo = f.Combo1->Text();
        // Typed text that grew into one of the box's entries was completed.
        const bool completed = e.rule == QLatin1String("typed-text") && !e.combo.isEmpty() &&
                               combo != e.combo[0] &&
                               combo.startsWith(e.combo[0], Qt::CaseInsensitive) &&
                               f.Combo1->findText(combo, Qt::MatchFixedString) >= 0;
        const QString rule = completed ? QStringLiteral("completer") : QString::fromLatin1(e.rule);
        if (!e.combo.isEmpty() && !e.combo.contains(combo))
            violated(rule, QStringLiteral("Combo1 shows \"%1\", expected one of \"%2\"")
                               .arg(combo, e.combo.join("\", \"")));
        if (!e.commands.isEmpty() && !e.commands.contains(h_->ctx->GameCommand))
            violated(rule, QStringLiteral("GameCommand is \"%1\", expected one of \"%2\"")
                               .arg(h_->ctx->GameCommand, e.commands.join("\", \"")));
        const QString dir = f.Dir1->Path();
        if (!e.dirs.isEmpty() && !e.dirs.contains(dir))
            violated(
                e.rule,
                QStringLiteral("Dir1 shows %1, expected one of %2").arg(dir, e.dirs.join(", ")));
        if (e.configured && *e.configured != f.Check1->isEnabled())
            violated(e.rule, QStringLiteral("Check1 enabled is %1").arg(f.Check1->isEnabled()));

        if (e.launches)
            checkLaunch(e, starts, reports);
        else if (!starts.empty())
            violated(e.rule, "a program started without Play");

        // Take what the window shows as the new model state, then the rules
        // that hold in every state.
        m_.configured = f.Check1->isEnabled();
        m_.approved = f.Check1->Value() == 1;
        m_.tab = f.SSTab1->Tab();
        m_.comboText = combo;
        m_.gameCommand = h_->ctx->GameCommand;
        m_.dirShown = dir;
        m_.driveMemory.insert(platform::driveOf(dir), dir);
        invariants();
        if (ended && !stopped_) {
            note("  ended; next start");
            startRun();
        }
    }

    void invariants() {
        ui::Form1& f = form();
        if (f.Command1->isEnabled() != (m_.tab == 0 && m_.configured))
            violated("play-button", QStringLiteral("Play enabled %1 on tab %2, configured %3")
                                        .arg(f.Command1->isEnabled())
                                        .arg(m_.tab)
                                        .arg(m_.configured));
        if (m_.configured && f.List2->isEnabled() == m_.approved)
            violated("check1", "List2 does not follow Check1");
        if (f.Combo2->isEnabled() != (m_.approved && m_.configured))
            violated("check1", "Combo2 does not follow Check1");
        if (m_.configured && h_->ctx->QuakeDir != m_.dirShown)
            violated(QStringLiteral("quakedir-follows-dir1"),
                     QStringLiteral("QuakeDir %1 but Dir1 shows %2")
                         .arg(h_->ctx->QuakeDir, m_.dirShown));
    }

    // No silent wrong launch: what starts is what the window shows.
    void checkLaunch(const Expect& e, const std::vector<QStringList>& starts,
                     const QStringList& reports) {
        if (starts.size() > 1)
            violated("one-start", QStringLiteral("%1 programs started").arg(starts.size()));
        if (starts.empty()) {
            if (e.expectStart && reports.isEmpty())
                violated("silent-no-start", "Play started nothing and said nothing");
            return;
        }
        const QStringList& words = starts.front();
        const QString quakeDir = m_.dirShown; // Dir1 as the window shows it
        if (e.readme) {
            // The read-me of the selected patch, from its own directory; with
            // no patch selected the Quake directory itself is searched.
            const QFileInfo file(words.value(1));
            const bool ofPatch = e.patch && !e.patch->isEmpty()
                                     ? ci(file.dir().dirName()) == ci(*e.patch)
                                     : ci(file.absolutePath()) == ci(quakeDir);
            if (!ofPatch || !file.isFile())
                violated("readme-of-selected", QStringLiteral("opened %1 for the patch \"%2\"")
                                                   .arg(file.filePath(), e.patch.value_or("")));
            return;
        }
        // The program the command names: the Quake directory's own when it
        // holds one, else wherever the system finds it.
        const QString typedProgram =
            QFileInfo(
                m_.gameCommand.trimmed().section(QLatin1Char(' '), 0, 0).remove(QLatin1Char('"')))
                .fileName();
        const QString ownProgram = entryIgnoringCase(quakeDir, typedProgram);
        if (!ownProgram.isEmpty() && QFileInfo(ownProgram).isFile() &&
            ci(QFileInfo(words.value(0)).absolutePath()) != ci(quakeDir))
            violated("launch-dir", QStringLiteral("started %1, not %2 of the Quake directory")
                                       .arg(words.value(0), ownProgram));
        if (ci(QFileInfo(words.value(0)).fileName()) != ci(typedProgram))
            violated("launch-command", QStringLiteral("started %1 for the command \"%2\"")
                                           .arg(words.value(0), m_.gameCommand));
        // The launcher's own "-game" follows the command's words; one the
        // player typed into the command line is theirs to choose.
        const qsizetype typedWords = platform::splitWords(m_.gameCommand).size();
        qsizetype game = words.lastIndexOf(QStringLiteral("-game"));
        if (game < typedWords)
            game = -1;
        if (e.patch && !e.patch->isEmpty()) {
            if (game < 0 || ci(words.value(game + 1)) != ci(*e.patch))
                violated(
                    "launch-patch",
                    QStringLiteral("started %1 with %2 selected").arg(words.join(' '), *e.patch));
        }
        if (game >= 0 && game + 1 < words.size()) {
            const QString there = entryIgnoringCase(quakeDir, words.at(game + 1));
            if (there.isEmpty() || !QFileInfo(there).isDir())
                violated("play-checks-patch-dir",
                         QStringLiteral("started -game %1, which is not in %2")
                             .arg(words.at(game + 1), quakeDir));
        }
    }

    // ---- the settings at the start of a sequence

    void initialSettings() {
        if (!w_.canWriteStart())
            return;
        const int kind = pick(5);
        if (kind == 0)
            return; // a first run
        const QString dirs[] = {w_.quake, w_.quake2, w_.quake3};
        const QString dir = dirs[pick(3)];
        const QString command =
            kind >= 3
                ? QString(typedTexts.at(pick(static_cast<int>(typedTexts.size())))).remove('"')
                : app::CommandPresets.at(pick(4));
        w_.writeSettings(("\"" + dir + "\"\r\n\"" + command + "\"\r\n").toUtf8());
        note(QStringLiteral("settings: %1 / %2").arg(dir, command));
    }

    // ---- input: helpers that act as a user would

    void clickTab(int index) {
        QTabBar* bar = form().SSTab1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    void toTab(int index) {
        if (form().SSTab1->Tab() != index)
            clickTab(index);
    }

    // Opens a combo box's drop-down with the mouse and chooses entry `index`
    // with the keyboard; index -1 closes it with Esc.
    bool chooseInDropDown(QComboBox* box, int index) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 6, box->height() / 2));
        QAbstractItemView* view = box->view();
        if (!view->isVisible())
            QTest::keyClick(box, Qt::Key_F4);
        if (!view->isVisible())
            return false;
        if (index < 0) {
            QTest::keyClick(view, Qt::Key_Escape);
            return true;
        }
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QCoreApplication::processEvents();
        return true;
    }

    // What the X server delivers for a double-click: press, release, the
    // double-click in place of the second press, release.
    static void doubleClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }

    void type(QWidget* edit, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }

    // Ctrl+A as the keyboard sends it: the control character, not a letter.
    static void selectAll(QWidget* edit) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    }

    Expect same(const char* rule) const {
        Expect e;
        e.rule = rule;
        e.combo = {m_.comboText};
        e.commands = {m_.gameCommand};
        e.dirs = {m_.dirShown};
        e.configured = m_.configured;
        return e;
    }

    // ---- the action table

    void act() {
        struct Action {
            const char* name;
            int weight;
            void (Sequence::*run)();
        };
        static const Action actions[] = {
            {"type", 6, &Sequence::typeIntoCombo1},
            {"choose command", 3, &Sequence::chooseCommand},
            {"open directory", 5, &Sequence::openDirectory},
            {"choose drive", 2, &Sequence::chooseDrive},
            {"tab", 2, &Sequence::switchTab},
            {"check1", 2, &Sequence::clickCheck1},
            {"play", 5, &Sequence::play},
            {"double-click", 4, &Sequence::doubleClickPatch},
            {"menu", 5, &Sequence::contextMenu},
            {"esc", 2, &Sequence::escape},
            {"exit", 3, &Sequence::exitButton},
            {"close box", 1, &Sequence::closeBox},
        };
        int total = 0;
        for (const Action& a : actions)
            total += a.weight;
        int at = pick(total);
        for (const Action& a : actions) {
            if ((at -= a.weight) < 0) {
                (this->*a.run)();
                return;
            }
        }
    }

    void typeIntoCombo1() {
        toTab(1);
        ui::Form1& f = form();
        QLineEdit* edit = f.Combo1->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
        QTest::keyClick(edit, Qt::Key_End);
        Expect e = same("typed-text");
        const int mode = pick(5);
        QString text = mode == 4   ? randomText()
                       : mode == 3 ? appendedTexts.at(pick(static_cast<int>(appendedTexts.size())))
                                   : typedTexts.at(pick(static_cast<int>(typedTexts.size())));
        QString expected;
        bool typed = true;
        if (mode == 0 || mode == 4 || (mode == 1 && text.isEmpty())) {
            selectAll(edit);
            if (text.isEmpty())
                QTest::keyClick(edit, Qt::Key_Backspace);
            expected = text;
            note(QStringLiteral("type over Combo1: \"%1\"").arg(text));
        } else if (mode == 2) {
            const int n = 1 + pick(3);
            for (int i = 0; i < n; ++i)
                QTest::keyClick(edit, Qt::Key_Backspace);
            expected = m_.comboText.left(std::max<qsizetype>(0, m_.comboText.size() - n));
            text.clear();
            note(QStringLiteral("Backspace x%1 in Combo1").arg(n));
        } else if (mode == 1) {
            // Delete types no character: the box empties, the command stays.
            selectAll(edit);
            QTest::keyClick(edit, Qt::Key_Delete);
            expected.clear();
            typed = false;
            text.clear();
            note(QStringLiteral("select all and Delete in Combo1"));
        } else {
            expected = m_.comboText + text;
            note(QStringLiteral("append to Combo1: \"%1\"").arg(text));
        }
        type(edit, text);
        e.combo = {expected};
        if (typed)
            e.commands = {expected};
        check(e);
    }

    void chooseCommand() {
        toTab(1);
        ui::Form1& f = form();
        Expect e = same("choose-command");
        if (chance(0.2)) {
            // Esc twice: the first closes the drop-down, the second must not
            // end the program.
            chooseInDropDown(f.Combo1, -1);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                        : static_cast<QWidget*>(&f),
                            Qt::Key_Escape);
            note("Combo1 drop-down, Esc, Esc");
            e.rule = "esc";
            check(e);
            return;
        }
        const int index = pick(f.Combo1->count());
        const QString text = f.Combo1->itemText(index);
        if (chooseInDropDown(f.Combo1, index))
            e.combo = {text};
        note(QStringLiteral("choose \"%1\" in Combo1").arg(text));
        check(e);
    }

    void openDirectory() {
        toTab(1);
        ui::DirListBox* dir = form().Dir1;
        // Rows inside the tree; Quake directories and the way to them are
        // the likelier choices, so that launches from them come often.
        std::vector<int> rows;
        for (int row = 0; row < dir->model()->rowCount(); ++row) {
            const QString path = dir->model()->index(row, 0).data(Qt::UserRole).toString();
            if (!path.startsWith(w_.root) || path == w_.stash)
                continue;
            int weight = 1;
            for (const QString& quake : {w_.quake, w_.quake2, w_.quake3}) {
                if (path == quake)
                    weight = 6;
                else if (quake.startsWith(path + QLatin1Char('/')))
                    weight = std::max(weight, 3);
            }
            rows.insert(rows.end(), static_cast<size_t>(weight), row);
        }
        if (rows.empty())
            return switchTab();
        const int row = rows.at(static_cast<size_t>(pick(static_cast<int>(rows.size()))));
        const QModelIndex item = dir->model()->index(row, 0);
        const QString target = item.data(Qt::UserRole).toString();
        dir->scrollTo(item);
        const QPoint at = dir->visualRect(item).center();
        Expect e = same("open-directory");
        const bool byKeyboard = chance(0.5);
        note(QStringLiteral("open %1 in Dir1 (%2)")
                 .arg(target, byKeyboard ? "Enter" : "double-click"));
        if (byKeyboard) {
            QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, at);
            QTest::keyClick(dir, Qt::Key_Return);
        } else {
            doubleClick(dir->viewport(), at);
        }
        if (!openableDir(target)) {
            e.report = Expect::Report::Required;
        } else if (target != m_.dirShown) {
            e.dirs = {target};
            m_.openedDir = true;
            // Where every path begins with "/", a drive's root is also its
            // drive text, which names the drive's current directory instead.
            if (platform::isDriveText(target))
                e.rule = "open-drive-root";
        }
        check(e);
    }

    void chooseDrive() {
        toTab(1);
        ui::DriveListBox* drives = form().Drive1;
        const int index = pick(drives->count());
        const QString drive = drives->itemText(index);
        Expect e = same("choose-drive");
        const QString before = drives->Drive();
        note(QStringLiteral("choose drive %1").arg(drive));
        chooseInDropDown(drives, index);
        if (drive != before) {
            m_.pickedDrive = true;
            // A directory the drive comes back to may be gone by now.
            e.report = Expect::Report::Maybe;
            const QString remembered = m_.driveMemory.value(drive);
            if (!remembered.isEmpty() && openableDir(remembered)) {
                e.rule = "drive-memory";
                e.dirs = {remembered};
            } else {
                e.dirs.clear();
            }
        }
        check(e);
        if (drive != before && lastReports_.isEmpty() && platform::driveOf(m_.dirShown) != drive)
            violated("choose-drive",
                     QStringLiteral("Dir1 shows %1, not on %2").arg(m_.dirShown, drive));
    }

    void switchTab() {
        const int tab = pick(3);
        note(QStringLiteral("tab %1").arg(tab));
        clickTab(tab);
        check(same("tab"));
    }

    void clickCheck1() {
        toTab(0);
        note("click Check1");
        QTest::mouseClick(form().Check1, Qt::LeftButton);
        check(same("check1"));
    }

    Expect launchExpect(bool possible) {
        Expect e = same("launch");
        e.launches = true;
        e.expectStart = possible;
        e.report = Expect::Report::Maybe;
        return e;
    }

    QString selectedPatch() {
        ui::ListBox* list = form().List2;
        return list->List(list->ListIndex());
    }

    void play() {
        if (chance(0.8))
            toTab(0);
        ui::Form1& f = form();
        if (f.Check1->Value() == 1 && f.Combo2->isEnabled() && f.Combo2->count() > 0 && chance(0.5))
            chooseInDropDown(f.Combo2, pick(f.Combo2->count()));
        const bool possible =
            f.Command1->isEnabled() && (f.Check1->Value() == 0 || f.Combo2->currentIndex() >= 0);
        Expect e = launchExpect(possible);
        if (f.Check1->Value() == 0)
            e.patch = selectedPatch();
        note(QStringLiteral("Play (%1)")
                 .arg(f.Check1->Value() ? f.Combo2->currentText() : selectedPatch()));
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        check(e);
    }

    // A visible entry of List2 to point at, or -1.
    int visiblePatchRow() {
        ui::ListBox* list = form().List2;
        std::vector<int> rows;
        for (int row = 0; row < list->ListCount(); ++row) {
            if (list->viewport()->rect().contains(list->entryRect(row).center()))
                rows.push_back(row);
        }
        return rows.empty() ? -1
                            : rows.at(static_cast<size_t>(pick(static_cast<int>(rows.size()))));
    }

    void doubleClickPatch() {
        toTab(0);
        ui::ListBox* list = form().List2;
        const int row = visiblePatchRow();
        if (row < 0)
            return play();
        note(QStringLiteral("double-click %1").arg(list->List(row)));
        const bool enabled = list->isEnabled();
        doubleClick(list->viewport(), list->entryRect(row).center());
        Expect e = launchExpect(enabled);
        if (enabled)
            e.patch = selectedPatch();
        check(e);
    }

    // Right-click on List2 and choose from the pop-up, which runs its own
    // modal loop: a timer waiting inside that loop does the choosing.
    void contextMenu() {
        toTab(0);
        ui::ListBox* list = form().List2;
        const int row = visiblePatchRow();
        if (row >= 0 && chance(0.7))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->entryRect(row).center());
        static const int choices[] = {0, 1, 3, -1};
        const int choice = choices[pick(4)];
        const QString patch = selectedPatch();
        const QPoint at = row >= 0 ? list->entryRect(row).center() : QPoint(20, 20);
        QTimer::singleShot(0, [choice] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* wanted = choice >= 0 ? menu->actions().value(choice) : nullptr;
            if (!wanted || !wanted->isEnabled()) {
                QTest::keyClick(menu, Qt::Key_Escape);
                return;
            }
            for (int i = 0; i < 6 && menu->activeAction() != wanted; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        static const char* names[] = {"Play", "Readme", "", "Refresh"};
        note(QStringLiteral("menu on %1: %2").arg(patch, choice >= 0 ? names[choice] : "dismiss"));
        const bool enabled = list->isEnabled();
        const Saved saved = readSaved();
        const QString dirBefore = m_.dirShown;
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        if (!enabled || choice < 0)
            return check(same("menu"));
        if (choice == 0) {
            Expect e = launchExpect(true);
            e.patch = patch;
            return check(e);
        }
        if (choice == 1) {
            Expect e = launchExpect(false);
            e.readme = true;
            e.patch = patch;
            return check(e);
        }
        check(refreshExpect(saved, dirBefore));
    }

    Expect refreshExpect(const Saved& saved, const QString& dirBefore) {
        Expect e = same("refresh");
        if (!saved.present) {
            // No saved command line: the player's stays shown, and started.
            e.combo = {m_.comboText};
            e.commands = {m_.comboText};
        } else if (saved.usable()) {
            e.combo = {saved.values[1]};
            e.commands = {saved.values[1]};
            e.dirs = {QDir::cleanPath(saved.values[0])};
            if (platform::isDriveText(e.dirs[0]))
                e.rule = "open-drive-root";
            rememberUnshown(Saved{});
        } else {
            // An error must not destroy state: the box shows the saved
            // command or, when none could be read, what it showed before;
            // either way that is what Play starts.
            e.rule = "failed-refresh";
            e.report = Expect::Report::Required;
            e.combo = {saved.values.size() == 2 ? saved.values[1] : m_.comboText};
            e.commands = e.combo;
            e.dirs = {dirBefore, w_.start};
            e.configured.reset();
            rememberUnshown(saved);
        }
        return e;
    }

    // A saved directory that could not be shown: Exit writes a missing one
    // back unchanged, and may keep one it could not open or read whole,
    // until the player opens another.
    void rememberUnshown(const Saved& saved) {
        m_.savedMissing.reset();
        m_.savedMayKeep.reset();
        m_.openedDir = m_.pickedDrive = false;
        if (saved.values.isEmpty())
            return;
        if (saved.values.size() == 2 && !QFileInfo(saved.values[0]).isDir())
            m_.savedMissing = saved.values[0];
        else
            m_.savedMayKeep = saved.values[0];
    }

    void escape() {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            target = &form();
        note(QStringLiteral("Esc in %1").arg(target->objectName()));
        QTest::keyClick(target, Qt::Key_Escape);
        check(same("esc"));
    }

    void exitButton() {
        ui::Form1& f = form();
        const QString shownDir = f.Dir1->Path();
        const QString shownCommand = f.Combo1->Text();
        QStringList dirs = {shownDir};
        QString dirRule = QStringLiteral("exit-writes-shown");
        if (m_.savedMissing && !m_.openedDir) {
            dirs = {*m_.savedMissing};
            if (m_.pickedDrive)
                dirs.append(shownDir);
            dirRule = QStringLiteral("missing-saved-dir");
        } else if (m_.savedMayKeep && !m_.openedDir) {
            dirs.append(*m_.savedMayKeep);
        }
        if (w_.startFull)
            w_.topUpFiller(); // whatever the last write freed is taken again
        const bool settingsIsDir = QFileInfo(w_.settings).isDir();
        const bool mustFail = w_.startReadOnly || w_.startFull || settingsIsDir;
        const QByteArray before = bytesOf(w_.settings);
        note(QStringLiteral("Exit (%1 / %2)").arg(shownDir, shownCommand));
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        QCoreApplication::processEvents();
        const QStringList reports = h_->reported.mid(reportsSeen_);

        if (h_->endRequests == 0) {
            // Failed: reported, the old file whole, the window still there.
            if (reports.isEmpty())
                violated("exit-silent", "Exit neither ended nor reported");
            if (bytesOf(w_.settings) != before)
                violated("file-whole", "a failed Exit changed the settings file");
            if (!mustFail && !(permissions_ && !QFileInfo(w_.settings).isWritable()))
                violated("exit-failed", "Exit failed: " + reports.join(" | "));
            // The message names what refused: the directory or its file
            // system, not a file that could be written.
            const QString said = reports.join(QStringLiteral(" | "));
            if (w_.startReadOnly && !settingsIsDir &&
                !said.contains(QStringLiteral("directory"), Qt::CaseInsensitive) &&
                !said.contains(QStringLiteral("file system"), Qt::CaseInsensitive))
                violated("message-names-refuser", said);
            Expect e = same("exit-failed");
            e.report = Expect::Report::Required;
            fileBefore_ = bytesOf(w_.settings);
            return check(e);
        }

        // Ended: the file holds what the window showed, whole.
        if (mustFail)
            violated(w_.startFull ? "full-disk" : "exit-must-fail",
                     QStringLiteral("Exit ended the program; the file holds %1 bytes")
                         .arg(bytesOf(w_.settings).size()));
        if (!reports.isEmpty())
            violated("exit-ended-after-error", reports.join(" | "));
        const app::SettingsRead read = app::tryReadSettings(w_.settings);
        const bool quotes = shownCommand.contains('"') || shownDir.contains('"');
        if (!mustFail) {
            if (read.values.size() != 2 || read.values[1] != shownCommand)
                violated(quotes ? "quotes" : "round-trip",
                         QStringLiteral("wrote command \"%1\", reads back %2")
                             .arg(shownCommand, read.values.join(" / ")));
            else if (!dirs.contains(read.values[0]))
                violated(read.values[0].contains('"') || dirs.join("").contains('"')
                             ? QStringLiteral("quotes")
                             : dirRule,
                         QStringLiteral("wrote directory %1, expected %2")
                             .arg(read.values[0], dirs.join(" or ")));
        }
        note("  ended; next start");
        startRun(); // the round trip: the next start reads back what was saved
        if (!mustFail && read.values.size() == 2 && openableDir(read.values[0]) &&
            form().Combo1->Text() != shownCommand)
            violated(quotes ? "quotes" : "round-trip",
                     QStringLiteral("saved \"%1\", the next start shows \"%2\"")
                         .arg(shownCommand, form().Combo1->Text()));
    }

    void closeBox() {
        note("close box");
        const QByteArray before = bytesOf(w_.settings);
        QCloseEvent close;
        QApplication::sendEvent(form().windowHandle(), &close);
        QCoreApplication::processEvents();
        if (bytesOf(w_.settings) != before)
            violated("close-writes-nothing", "closing the window changed the settings file");
        startRun();
    }

    // ---- the fault table

    void injectFault() {
        struct Fault {
            const char* name;
            bool (Sequence::*inject)();
        };
        static const Fault faults[] = {
            {"Quake directory removed", &Sequence::removeQuake},
            {"Quake directory renamed", &Sequence::renameQuake},
            {"Quake directory unreadable", &Sequence::lockQuake},
            {"Quake directory replaced by a file", &Sequence::quakeToFile},
            {"Quake directories back", &Sequence::restoreQuake},
            {"settings file removed", &Sequence::removeSettings},
            {"settings file cut short", &Sequence::cutSettings},
            {"settings file binary", &Sequence::binarySettings},
            {"settings file read-only", &Sequence::readOnlySettings},
            {"settings file a directory", &Sequence::settingsDirectory},
            {"settings file rewritten", &Sequence::goodSettings},
            {"patch added", &Sequence::addPatch},
            {"patch removed", &Sequence::removePatch},
            {"start directory read-only", &Sequence::readOnlyStart},
            {"start directory full", &Sequence::fillStart},
            {"start directory writable again", &Sequence::freeStart},
        };
        const Fault& fault = faults[pick(static_cast<int>(std::size(faults)))];
        if ((this->*fault.inject)())
            note(QStringLiteral("fault: %1").arg(fault.name));
        fileBefore_ = bytesOf(w_.settings);
    }

    // The Quake directory in use: Dir1's, if it is one of the tree's.
    QString quakeInUse() const {
        for (const QString& dir : {w_.quake, w_.quake2, w_.quake3}) {
            if (m_.dirShown == dir)
                return dir;
        }
        return w_.quake;
    }

    bool moveAway(const QString& dir, const QString& to) {
        if (!QFileInfo(dir).isDir() || QFileInfo(dir).isSymLink())
            return false;
        if (!QDir().rename(dir, to))
            return false;
        w_.moved.emplace_back(dir, to);
        return true;
    }
    bool removeQuake() {
        return moveAway(quakeInUse(), w_.stash + QStringLiteral("/%1").arg(w_.stashed++));
    }
    bool renameQuake() {
        const QString dir = quakeInUse();
        return moveAway(dir, dir + QStringLiteral("-moved%1").arg(w_.stashed++));
    }
    bool quakeToFile() {
        const QString dir = quakeInUse();
        if (!removeQuake())
            return false;
        QFile file(dir);
        return file.open(QIODevice::WriteOnly) && file.write("not a directory") > 0;
    }
    bool lockQuake() {
        if (!permissions_)
            return false;
        const QString dir = quakeInUse();
        if (!QFileInfo(dir).isDir())
            return false;
        w_.locked.append(dir);
        return QFile::setPermissions(dir, QFileDevice::Permissions());
    }
    bool restoreQuake() {
        const bool any = !w_.moved.empty() || !w_.locked.isEmpty();
        for (auto it = w_.moved.rbegin(); it != w_.moved.rend(); ++it) {
            if (QFileInfo(it->first).isFile())
                QFile::remove(it->first);
            QDir().rename(it->second, it->first);
        }
        w_.moved.clear();
        for (const QString& dir : std::as_const(w_.locked))
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        w_.locked.clear();
        return any;
    }

    bool removeSettings() {
        if (!w_.canWriteStart())
            return false;
        return QFile::remove(w_.settings) || QDir(w_.settings).removeRecursively();
    }
    bool cutSettings() {
        const QByteArray bytes = bytesOf(w_.settings);
        if (!w_.canWriteStart() || !QFileInfo(w_.settings).isFile() || bytes.isEmpty())
            return false;
        const qsizetype lineEnd = bytes.indexOf('\n');
        const qsizetype keep =
            chance(0.5) && lineEnd > 0 ? lineEnd + 1 : pick(static_cast<int>(bytes.size()));
        w_.writeSettings(bytes.left(keep));
        return true;
    }
    bool binarySettings() {
        if (!w_.canWriteStart())
            return false;
        QByteArray bytes;
        const int n = pick(80);
        for (int i = 0; i < n; ++i)
            bytes.append(static_cast<char>(pick(256)));
        w_.writeSettings(bytes);
        return true;
    }
    bool readOnlySettings() {
        if (!QFileInfo(w_.settings).isFile())
            return false;
        return QFile::setPermissions(w_.settings,
                                     QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    bool settingsDirectory() {
        if (!w_.canWriteStart())
            return false;
        QFile::remove(w_.settings);
        return QDir().mkdir(w_.settings);
    }
    bool goodSettings() {
        if (!w_.canWriteStart())
            return false;
        const QString dirs[] = {w_.quake, w_.quake2, w_.quake3};
        const QString dir = dirs[pick(3)];
        w_.writeSettings(
            ("\"" + dir + "\"\r\n\"" + app::CommandPresets.at(pick(4)) + "\"\r\n").toUtf8());
        return true;
    }
    bool addPatch() {
        static const char* names[] = {"newmod", "Nouveau Mod", "Ärger", "ctf2"};
        const QString dir = quakeInUse();
        if (!openableDir(dir) || !QFileInfo(dir).isWritable())
            return false;
        w_.tree.file(QDir(w_.root).relativeFilePath(dir) + "/" + names[pick(4)] + "/progs.dat",
                     "progs");
        return true;
    }
    bool removePatch() {
        const QString dir = quakeInUse();
        const QStringList patches = QDir(dir)
                                        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                        .filter(QRegularExpression("^(?!id1$|maps$)"));
        if (patches.isEmpty())
            return false;
        // Often the one the player has selected, to be played next.
        const QString selected = entryIgnoringCase(dir, selectedPatch());
        if (!selected.isEmpty() && QFileInfo(selected).isDir() && chance(0.6))
            return QDir(selected).removeRecursively();
        return QDir(dir + "/" + patches.at(pick(static_cast<int>(patches.size()))))
            .removeRecursively();
    }
    bool readOnlyStart() {
        if (w_.startReadOnly)
            return false;
        if (w_.mounted)
            w_.startReadOnly = runCommand("mount", {"-o", "remount,ro", w_.start});
        else if (permissions_)
            w_.startReadOnly = QFile::setPermissions(w_.start, QFile::ReadOwner | QFile::ExeOwner);
        return w_.startReadOnly;
    }
    bool fillStart() {
        if (!w_.mounted || w_.startReadOnly || w_.startFull)
            return false;
        w_.startFull = true;
        w_.topUpFiller();
        return true;
    }
    bool freeStart() {
        if (!w_.startReadOnly && !w_.startFull)
            return false;
        if (w_.startReadOnly) {
            if (w_.mounted)
                runCommand("mount", {"-o", "remount,rw", w_.start});
            else
                QFile::setPermissions(w_.start,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            w_.startReadOnly = false;
        }
        QFile::remove(w_.start + "/filler");
        w_.startFull = false;
        return true;
    }

    quint64 seed_;
    std::mt19937_64 rng_;
    World w_;
    bool permissions_;
    std::unique_ptr<Harness> h_;
    Model m_;
    QStringList log_;
    int step_ = 0;
    int reportsSeen_ = 0;
    int startsSeen_ = 0;
    QByteArray fileBefore_;
    bool stopped_ = false;
    QStringList lastReports_;
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
