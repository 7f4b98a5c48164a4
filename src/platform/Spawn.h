#pragma once

#include "platform/Process.h"

namespace platform {

// The POSIX start behind startProgram(): `words` are resolved (the program
// file first). Not on Windows, which starts through QProcess.
void spawnWatched(const QStringList& words, const QString& workingDirectory,
                  const StartWatch& watch);

// In a child between fork and exec: every signal's handler back to the
// default, then none blocked, so the program starts as from a shell.
// Async-signal-safe.
void resetSignalsForProgram();

} // namespace platform
