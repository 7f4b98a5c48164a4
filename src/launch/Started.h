#pragma once

#include "platform/Process.h"

#include <QString>
#include <QStringList>

#include <chrono>

namespace ui {
class Form1;
}

namespace launch {

// How long what Play and Readme start is watched for a failure. An engine
// that cannot find its data, or xdg-open with no viewer for the file, ends
// within a second; five allow for a loaded machine and a cold disk, yet are
// short enough that the report still reads as the answer to the press. A
// program that runs longer has started well and is left alone.
inline constexpr std::chrono::seconds StartWatchTime{5};

// Starts `words` as platform::startProgram() does, with `workingDirectory`
// as the program's current directory and its output in the cache file
// `logName`, replaced. Should it end within StartWatchTime with a failure,
// an event of `form`'s dispatcher reports it: what it is to the player
// (`role`), the program, how it ended and `note` in the message, its last
// lines in the detail. The last `asGiven` words are handed over as they are
// (platform::startProgram()).
void startWatched(ui::Form1& form, const QStringList& words, const QString& workingDirectory,
                  const platform::ProgramLookup& lookup, const QString& logName,
                  const QString& role, const QString& note = {}, qsizetype asGiven = 0);

} // namespace launch
