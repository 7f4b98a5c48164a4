#pragma once

#include <QString>
#include <QStringList>

#include "installations/Engines.h"
#include "platform/Process.h"

#include <vector>

namespace launch {

// The command lines as one text each, exactly as the launcher has always
// composed them: plain concatenation, no quoting, no trimming. Kept for
// messages and tests; what is started are the words below.
//   base command:  QuakeDir upper-cased, the separator, GameCommand lower-cased
//   patch launch:  base command, " -game ", the patch name upper-cased
QString baseCommand(const QString& quakeDir, const QString& gameCommand);
QString patchLaunchCommand(const QString& quakeDir, const QString& gameCommand,
                           const QString& patch);

// The same launches as words, so a blank inside the patch name stays inside
// its word: the lower-cased command split at blanks (blanks before its first
// word are no word; with none at all the program word is empty), then "-game" and the patch
// directory's name as one word (left out when the name is empty). The first word names the program,
// found through engineLookup(). Each word but the program and the patch
// directory is exactly a word of the one-text command line.
QStringList baseWords(const QString& gameCommand);
QStringList patchLaunchWords(const QString& gameCommand, const QString& patchDirectory);

// How the game's program is found: the Quake directory's program of that
// name first, and where the user corrects the command when there is none,
// with the engines installed (looked for in `engines` then) to type there.
platform::ProgramLookup engineLookup(const QString& quakeDir,
                                     const installations::EnginePlaces& engines = {});

// The engines installed, one a line with the command that starts each, for
// a message; or, when there is none, what to do.
QString installedEnginesText(const std::vector<installations::Engine>& engines,
                             const QString& quakeDir);

// For an official game's title (compared exactly): the words to append to the
// base command; false when the title names no game.
bool approvedGameWords(const QString& title, QStringList* appended);

} // namespace launch
