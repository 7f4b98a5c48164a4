#pragma once

#include <QStringList>
#include <QTextStream>

namespace app {

// Answers the program's own command line. Runemark reads only --help and
// --version from it: each prints to `out` and the program ends with 0.
// Anything else (an unknown option, a stray argument) prints the reason and
// the usage to `err`; the program ends with 2. `arguments` starts with the
// program's name, as argv does; call this only when more follows.
int answerArguments(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace app
