#pragma once

#include "installations/Engines.h"
#include "installations/QuakeInstallations.h"
#include "platform/DirectoryListing.h"
#include "platform/FileLookup.h"

#include <QString>

#include <functional>
#include <optional>

namespace ui {
class Form1;
}

namespace state {

// Directories read before start-up asked for them (the program's reading
// ahead), handed to the start-up scan once.
class ReadingAhead {
  public:
    // The reading, when it is of the directory a directory list opened on
    // `quakeDir` shows, the first time it is asked for; otherwise nothing.
    virtual std::optional<platform::DirectorySnapshot> take(const QString& quakeDir) = 0;

  protected:
    ~ReadingAhead() = default;
};

// Start-up and Refresh run one sequence; what differs is told by the
// occasion: start-up alone shows the window, sets the busy pointer, fills the
// official-game list and loads the manual; Refresh re-reads the disk.
enum class Occasion { StartUp, Refresh };

// The names of the files the program keeps beside it.
inline const QString SettingsFileName = QStringLiteral("runemark.ini");
inline const QString ManualFileName = QStringLiteral("MANUAL.RM");

// The settings file of a program started in `startDirectory`.
QString settingsFileIn(const QString& startDirectory);

// The settings file of this run, chosen once at start-up: the one in the
// start directory when it holds one (a portable copy, or a file kept from
// before), otherwise runemark/runemark.ini in the per-user configuration
// directory `userConfigDirectory`.
QString chooseSettingsFile(const QString& startDirectory, const QString& userConfigDirectory);

// The shared values of one run of the program, and the windows they belong to.
struct Context {
    // startDirectory: the directory current when the program started.
    // settingsFile: where start-up reads the settings, Refresh reads them
    // again and Exit writes them, for the whole run, however often a launch
    // changes the current directory afterwards. Without it, it is chosen
    // here from the start directory and this host's configuration directory.
    Context(ui::Form1& form, const QString& startDirectory);
    Context(ui::Form1& form, const QString& startDirectory, const QString& settingsFile);

    ui::Form1& Form1;
    QString QuakeDir;
    QString GameCommand;
    bool ProbeResult = false;
    QString ProbeName;

    QString startDirectory;
    QString settingsFile;

    // Where a first run looks for a Quake installation to open, and where
    // it and a start that finds no such program look for engines.
    installations::QuakePlaces quakePlaces = installations::QuakePlaces::ofThisHost();
    installations::EnginePlaces enginePlaces = installations::EnginePlaces::ofThisHost();

    // The saved Quake directory when it could not be shown (a disk not
    // mounted yet): Exit writes it back unchanged until the directory list
    // moves to another directory.
    std::optional<QString> keptQuakeDir;
    // The settings file did not answer when start-up or Refresh read it:
    // what it holds is unknown, so Exit must not replace it with what the
    // window shows until a Refresh has read it.
    bool settingsUnanswered = false;

    // The start-up scan's reads begun while the window was built, if any.
    ReadingAhead* readAhead = nullptr;

    // Ends the program at once; the default asks the event loop to quit.
    std::function<void()> endProgram;
};

// Looks for the first ordinary file matching `pattern`: its bare name goes to
// ProbeName (empty when none) and ProbeResult tells whether one was found.
// Where `held` answers for the directory, it is looked at there instead of
// on disk.
void ProbeFile(Context& ctx, const QString& pattern, platform::HeldListings* held = nullptr);

} // namespace state
