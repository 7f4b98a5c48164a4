#include "launch/Started.h"

#include "platform/Error.h"
#include "ui/Dispatcher.h"
#include "ui/Form1.h"

#include <QPointer>

namespace launch {

void startWatched(ui::Form1& form, const QStringList& words, const QString& workingDirectory,
                  const platform::ProgramLookup& lookup, const QString& logName,
                  const QString& role, const QString& note, qsizetype asGiven) {
    platform::StartWatch watch;
    watch.log = platform::cacheFile(logName);
    watch.within = StartWatchTime;
    // The window may be gone by the time the program ends (the launcher
    // left through Exit): nothing is reported then.
    watch.failed = [window = QPointer<ui::Form1>(&form), role,
                    note](const platform::ProgramEnd& end) {
        if (window)
            ui::raiseEvent(*window, [end, role, note] { throw end.failure(role, note); });
    };
    platform::startProgram(words, platform::MaximizedFocus, workingDirectory, lookup, watch,
                           asGiven);
}

} // namespace launch
