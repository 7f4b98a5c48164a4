#include "app/Arguments.h"

#include "platform/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace app {

namespace {
constexpr int UsageError = 2;

QString versionLine() {
    return QStringLiteral("Runemark %1.%2.%3\n")
        .arg(platform::Version::major)
        .arg(platform::Version::minor)
        .arg(platform::Version::revision);
}
} // namespace

int answerArguments(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A launcher for Quake patches (mods). Started without arguments it opens its\n"
        "window. It keeps its settings in runemark.ini in the directory it is started\n"
        "from when that holds one, otherwise in $XDG_CONFIG_HOME/runemark/runemark.ini\n"
        "(~/.config/runemark/runemark.ini)."));
    // Our own options rather than addHelpOption(): that one adds --help-all,
    // which lists toolkit options this program does not accept.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version and exits."));
    parser.addOption(help);
    parser.addOption(version);

    const QString program =
        arguments.isEmpty() ? QStringLiteral("runemark") : QFileInfo(arguments.first()).fileName();
    QString problem;
    if (!parser.parse(arguments))
        problem = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        problem =
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    else if (!parser.isSet(help) && !parser.isSet(version))
        problem = QStringLiteral("Only --help and --version are read from the command line.");
    if (!problem.isEmpty()) {
        err << program << ": " << problem << "\n\n" << parser.helpText();
        err.flush();
        return UsageError;
    }
    out << (parser.isSet(help) ? parser.helpText() : versionLine());
    out.flush();
    return 0;
}

} // namespace app
