#pragma once

#include "World.h"
#include "support/Harness.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace window_model {

// ---- What one run found, over all sequences: printed at the end of a test.

void printFindings(const char* testName);

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

// The program as the player meets it, one start after another, checked
// against the model after every step; the log of the steps, and the
// verdicts.
class Checker {
  public:
    Checker(quint64 seed, World& world);

    // One start of the program, checked against the saved settings.
    void startRun();
    // The program's last start ends with the sequence.
    void endRun() { h_.reset(); }

    // The check after every step: the window against `e`, then the rules
    // that hold in every state. A program that ended starts again.
    void check(const Expect& e);
    // A step that should change nothing the model holds.
    Expect same(const char* rule) const;
    // What Refresh leaves, from the settings read before it.
    Expect refreshExpect(const Saved& saved, const QString& dirBefore);
    Saved readSaved() const;

    void violated(const QString& rule, const QString& detail);
    void note(const QString& line);
    void atStep(int step) { step_ = step; }
    bool stopped() const { return stopped_; }
    QString log() const { return log_.join('\n'); }

    ui::Form1& form() { return *h_->form; }
    testing_support::Harness& harness() { return *h_; }
    Model& model() { return m_; }
    // What the program reported since the last check, and at it.
    QStringList newReports() const { return h_->reported.mid(reportsSeen_); }
    const QStringList& lastReports() const { return lastReports_; }
    // The settings file as it is now is the one no step may change: after a
    // fault, or an Exit that failed.
    void takeSettingsFileAsIs() { fileBefore_ = bytesOf(w_.settings); }

  private:
    void invariants();
    void checkLaunch(const Expect& e, const std::vector<QStringList>& starts,
                     const QStringList& reports);
    void rememberUnshown(const Saved& saved);

    quint64 seed_;
    World& w_;
    std::unique_ptr<testing_support::Harness> h_;
    Model m_;
    QStringList log_;
    int step_ = 0;
    int reportsSeen_ = 0;
    int startsSeen_ = 0;
    QByteArray fileBefore_;
    bool stopped_ = false;
    QStringList lastReports_;
};

} // namespace window_model
