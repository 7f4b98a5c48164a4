#include "support/RunningProgram.h"

#include "support/Share.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace {

// The main window's client area at 96 dpi: 6555 by 3915 twips.
constexpr int WindowWidth = 437;
constexpr int WindowHeight = 261;

void pause(int ms) {
    QGuiApplication::processEvents(QEventLoop::AllEvents, ms);
    QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace

RunningProgram::RunningProgram(const QString& program, const QString& startDir) {
    if (!log_.open())
        throw std::runtime_error("cannot make a file for the program's output");
    process_.setWorkingDirectory(startDir);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(log_.fileName());
    process_.start(program, {});
    if (!process_.waitForStarted(10000))
        throw std::runtime_error(("cannot start " + program).toStdString());
}

RunningProgram::~RunningProgram() {
    if (process_.state() == QProcess::NotRunning)
        return;
    // A thread waiting on a stopped share holds the whole process until the
    // share answers: only then can it be killed.
    Share::resumeAll();
    process_.kill();
    process_.waitForFinished(10000);
}

QString RunningProgram::xdotool(const QStringList& arguments) const {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished();
        throw std::runtime_error(("xdotool did not end: " + arguments.join(' ')).toStdString());
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

RunningProgram::Geometry RunningProgram::geometry(const QString& window) const {
    Geometry at;
    for (const QString& line :
         xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
             .split('\n', Qt::SkipEmptyParts)) {
        const int value = line.section('=', 1).toInt();
        if (line.startsWith(QLatin1String("X=")))
            at.x = value;
        else if (line.startsWith(QLatin1String("Y=")))
            at.y = value;
        else if (line.startsWith(QLatin1String("WIDTH=")))
            at.width = value;
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            at.height = value;
    }
    return at;
}

QStringList RunningProgram::visibleWindows() const {
    return xdotool({QStringLiteral("search"), QStringLiteral("--all"),
                    QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(process_.processId()), QStringLiteral("--name"),
                    QStringLiteral(".*")})
        .split('\n', Qt::SkipEmptyParts);
}

QString RunningProgram::said() const {
    QFile log(log_.fileName());
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()).trimmed()
                                         : QString();
}

bool RunningProgram::waitForWindow(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (process_.state() == QProcess::NotRunning) {
            why_ = QStringLiteral("the program ended before showing its window (exit %1): %2")
                       .arg(process_.exitCode())
                       .arg(said());
            return false;
        }
        // The main window is the one of its size: a message box may show
        // right after it.
        for (const QString& window : visibleWindows()) {
            const auto [x, y, width, height] = geometry(window);
            if (std::abs(width - WindowWidth) <= 2 && std::abs(height - WindowHeight) <= 2) {
                window_ = window;
                left_ = x;
                top_ = y;
                return true;
            }
        }
        pause(100);
    }
    why_ = QStringLiteral("no window after %1 ms; the program said: %2").arg(timeoutMs).arg(said());
    return false;
}

bool RunningProgram::showsAnotherWindow() {
    QStringList windows = visibleWindows();
    windows.removeAll(window_);
    return !windows.isEmpty();
}

std::optional<QString> RunningProgram::waitForMessage(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QString box;
    while (box.isEmpty()) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            why_ = QStringLiteral("no message within %1 ms; the program said: %2")
                       .arg(timeoutMs)
                       .arg(said());
            return std::nullopt;
        }
        QStringList windows = visibleWindows();
        windows.removeAll(window_);
        if (!windows.isEmpty())
            box = windows.first();
        else
            pause(100);
    }
    // A message box's text is selectable with the mouse, and on X a
    // selection is offered to every program (the primary selection): a
    // triple click on its first line selects that paragraph. The selection
    // is ours, and empty, until then.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString(), QClipboard::Selection);
    const Geometry at = geometry(box);
    xdotool({QStringLiteral("mousemove"), QString::number(at.x + 100), QString::number(at.y + 20),
             QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("3"),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    QString text;
    const QDeadlineTimer copied(5000);
    while (text.isEmpty() && !copied.hasExpired()) {
        pause(50);
        text = clipboard->text(QClipboard::Selection);
    }
    keys({QStringLiteral("Return")});
    const QDeadlineTimer closed(5000);
    while (visibleWindows().contains(box) && !closed.hasExpired())
        pause(50);
    if (text.isEmpty())
        why_ = QStringLiteral("a window showed, but no text could be selected in it");
    return text;
}

void RunningProgram::click(int x, int y, int button) {
    xdotool({QStringLiteral("mousemove"), QString::number(left_ + x), QString::number(top_ + y),
             QStringLiteral("click"), QString::number(button)});
}

void RunningProgram::keys(const QStringList& names) {
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} +
            names);
}

void RunningProgram::chooseFromPatchMenu(int fromEnd, const std::function<void()>& beforeChoosing) {
    const QStringList before = visibleWindows();
    click(FirstPatchX, FirstPatchY, 3);
    // The menu is a window of its own once it shows.
    const QDeadlineTimer deadline(10000);
    for (;;) {
        QStringList now = visibleWindows();
        for (const QString& window : before)
            now.removeAll(window);
        if (!now.isEmpty() || deadline.hasExpired())
            break;
        pause(50);
    }
    if (beforeChoosing)
        beforeChoosing();
    QStringList path{QStringLiteral("Up")};
    for (int i = 0; i < fromEnd; ++i)
        path.append(QStringLiteral("Up"));
    path.append(QStringLiteral("Return"));
    keys(path);
}

std::optional<int> RunningProgram::waitForEnd(int timeoutMs) {
    if (!process_.waitForFinished(timeoutMs) && process_.state() != QProcess::NotRunning) {
        why_ = QStringLiteral("still running after %1 ms; the program said: %2")
                   .arg(timeoutMs)
                   .arg(said());
        return std::nullopt;
    }
    if (process_.exitStatus() != QProcess::NormalExit) {
        why_ = "it crashed; the program said: " + said();
        return std::nullopt;
    }
    return process_.exitCode();
}

} // namespace testing_support
