#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <functional>
#include <optional>

namespace testing_support {

// The built program running under the tests' X server, driven as a player
// drives it: real pointer and key input through the X test extension
// (xdotool), into the window the program shows.
//
// Positions are pixels inside the main window at 96 dpi (15 twips a pixel).
// Before it kills the program, the destructor lets every share answer again
// (Share::resumeAll): a process waiting on a stopped share cannot end.
class RunningProgram {
  public:
    // Starts `program` in `startDir`; its output goes to a file a full pipe
    // cannot stop.
    RunningProgram(const QString& program, const QString& startDir);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Waits until the main window shows; false (with why()) when the program
    // ended first or did not show it in time.
    bool waitForWindow(int timeoutMs);
    // Waits until a window other than the main one shows (a message box),
    // reads its text as a player copying it would (selected with the mouse)
    // and closes it with Enter. No text when none showed.
    std::optional<QString> waitForMessage(int timeoutMs);
    // Whether another window of the program shows now: a message box, say.
    bool showsAnotherWindow();

    void click(int x, int y, int button = 1);
    // Keys as xdotool names them ("End", "Return", "ctrl+c"), to the window
    // that has the input focus.
    void keys(const QStringList& names);
    // Opens the patch list's context menu on its first entry and chooses
    // the item `fromEnd` places above the last (0: the last, Refresh). With
    // `beforeChoosing`, runs it while the menu is open.
    void chooseFromPatchMenu(int fromEnd = 0, const std::function<void()>& beforeChoosing = {});

    // Waits for the program to end; its exit code, or nothing when it did
    // not end in time or crashed.
    std::optional<int> waitForEnd(int timeoutMs);
    // What the program said on its standard error.
    QString said() const;
    // Why the last wait failed, with what the program said.
    QString why() const { return why_; }

    // Places in the main window (pixels at 96 dpi).
    static constexpr int PlayX = 292, PlayY = 244; // "&Play": 3720, 3480, 1335 x 375 twips
    static constexpr int ExitX = 388, ExitY = 244; // "E&xit": 5160, 3480, 1335 x 375
    static constexpr int FirstPatchX = 60, FirstPatchY = 63; // List2's first row

  private:
    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Geometry geometry(const QString& window) const;
    QStringList visibleWindows() const;
    QString xdotool(const QStringList& arguments) const;

    QTemporaryFile log_;
    QProcess process_;
    QString window_;
    int left_ = 0;
    int top_ = 0;
    QString why_;
};

} // namespace testing_support
