#pragma once

#include <QString>
#include <QStringList>

namespace launch {

// The command lines as one text each, exactly as the launcher has always
// composed them: plain concatenation, no quoting, no trimming. Kept for
// messages and tests; what is started are the words below.
//   base command:  QuakeDir upper-cased, the separator, GameCommand lower-cased
//   patch launch:  base command, " -game ", the patch name upper-cased
QString baseCommand(const QString& quakeDir, const QString& gameCommand);
QString patchLaunchCommand(const QString& quakeDir, const QString& gameCommand,
                           const QString& patch);

// The same launches as words, so a blank inside the Quake directory or the
// patch name stays inside its word. The program is the upper-cased Quake
// directory, the separator and the first word of the lower-cased command; the
// rest of the command splits at blanks; then "-game" and the upper-cased patch
// name as one word (left out when the name is empty). Where neither the
// directory nor the patch name holds a blank, these are exactly the words of
// the one-text command line.
QStringList baseWords(const QString& quakeDir, const QString& gameCommand);
QStringList patchLaunchWords(const QString& quakeDir, const QString& gameCommand,
                             const QString& patch);

// For an official game's title (compared exactly): the words to append to the
// base command; false when the title names no game.
bool approvedGameWords(const QString& title, QStringList* appended);

} // namespace launch
