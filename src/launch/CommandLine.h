#pragma once

#include <QString>
#include <QStringList>

#include "installations/Engines.h"
#include "platform/Process.h"

#include <vector>

namespace launch {

// The launches as words, so a blank inside the patch name stays inside its
// word: the lower-cased command split at blanks (blanks before its first word
// are no word; with none at all the program word is empty), then "-game" and
// the patch directory's name as one word (left out when the name is empty).
// The first word names the program, found through engineLookup().
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
