#pragma once

#include "platform/Process.h"

namespace platform {

// The POSIX start behind startProgram(): `words` are resolved (the program
// file first). Not on Windows, which starts through QProcess.
void spawnWatched(const QStringList& words, const QString& workingDirectory,
                  const StartWatch& watch);

} // namespace platform
