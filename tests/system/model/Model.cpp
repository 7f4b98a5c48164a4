#include "Model.h"

#include "app/StartUp.h"
#include "platform/Drives.h"
#include "platform/Process.h"
#include "state/Context.h"
#include "state/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

using namespace testing_support;

namespace window_model {

namespace {

struct Finding {
    int count = 0;
    quint64 firstSeed = 0;
    QString example;
};
std::map<QString, Finding>& findings() {
    static std::map<QString, Finding> all;
    return all;
}

} // namespace

void printFindings(const char* testName) {
    for (const auto& [rule, f] : findings()) {
        std::printf("[model] %s: rule %s broken %d time(s), first with seed %llu: %s\n", testName,
                    qPrintable(rule), f.count, static_cast<unsigned long long>(f.firstSeed),
                    qPrintable(f.example));
    }
    findings().clear();
}

Checker::Checker(quint64 seed, World& world) : seed_(seed), w_(world) {}

void Checker::note(const QString& line) {
    log_.append(QStringLiteral("%1: %2").arg(step_).arg(line));
}

// ---- verdicts

void Checker::violated(const QString& rule, const QString& detail) {
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

void Checker::startRun() {
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

Saved Checker::readSaved() const {
    Saved s;
    if (!QFileInfo(w_.settings).isFile())
        return s;
    s.present = true;
    const state::SettingsRead read = state::tryReadSettings(w_.settings);
    s.values = read.values;
    s.problem = read.problem;
    return s;
}

// ---- the check after every step

void Checker::check(const Expect& e) {
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
        violated(e.rule,
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

void Checker::invariants() {
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
        violated(
            QStringLiteral("quakedir-follows-dir1"),
            QStringLiteral("QuakeDir %1 but Dir1 shows %2").arg(h_->ctx->QuakeDir, m_.dirShown));
}

// No silent wrong launch: what starts is what the window shows.
void Checker::checkLaunch(const Expect& e, const std::vector<QStringList>& starts,
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
        QFileInfo(m_.gameCommand.trimmed().section(QLatin1Char(' '), 0, 0).remove(QLatin1Char('"')))
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
            violated("launch-patch",
                     QStringLiteral("started %1 with %2 selected").arg(words.join(' '), *e.patch));
    }
    if (game >= 0 && game + 1 < words.size()) {
        const QString there = entryIgnoringCase(quakeDir, words.at(game + 1));
        if (there.isEmpty() || !QFileInfo(there).isDir())
            violated("play-checks-patch-dir", QStringLiteral("started -game %1, which is not in %2")
                                                  .arg(words.at(game + 1), quakeDir));
    }
}

Expect Checker::same(const char* rule) const {
    Expect e;
    e.rule = rule;
    e.combo = {m_.comboText};
    e.commands = {m_.gameCommand};
    e.dirs = {m_.dirShown};
    e.configured = m_.configured;
    return e;
}

Expect Checker::refreshExpect(const Saved& saved, const QString& dirBefore) {
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
void Checker::rememberUnshown(const Saved& saved) {
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

} // namespace window_model
