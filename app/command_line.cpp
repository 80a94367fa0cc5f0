#include "app/command_line.h"

#include "platform/base/log.h"
#include "platform/desktop/keyboard_hold.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace quillo {

QString versionText()
{
    QString text = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    if (!waylandHoldBuiltIn())
        text += QStringLiteral("This build has no Wayland hold: on a Wayland desktop the child's Alt+Tab and Super "
                               "keys reach the desktop (built with QUILLO_WAYLAND_HOLD=OFF).\n");
    return text;
}

namespace {

const QCommandLineOption holdToQuit(
    QStringLiteral("hold-to-quit"),
    QStringLiteral("Alt+Q and Alt+F4 quit only when held for 2 seconds with no other key pressed."));

// Quillo's options on `parser`; false when the line holds one it does not know.
bool parse(QCommandLineParser& parser, const QStringList& arguments)
{
    parser.setApplicationDescription(QStringLiteral("A first typing toy for young children."));
    parser.addOption(holdToQuit);
    parser.addHelpOption();
    parser.addVersionOption();
    return parser.parse(arguments);
}

}  // namespace

bool onlyPrints(const QStringList& arguments)
{
    QCommandLineParser parser;
    parse(parser, arguments);
    const QStringList printing{QStringLiteral("h"), QStringLiteral("help"),
                               QStringLiteral("help-all"), QStringLiteral("v"), QStringLiteral("version")};
    for (const QString& name : parser.optionNames())
        if (printing.contains(name))
            return true;
    return false;
}

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    if (!parse(parser, arguments))
        qCWarning(lcQuillo, "%s Quillo runs on without it.", qPrintable(parser.errorText()));
    if (parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        std::exit(EXIT_SUCCESS);  // as QCommandLineParser::showVersion does
    }
    CommandLine line;
    line.holdToQuit = parser.isSet(holdToQuit);
    return line;
}

}  // namespace quillo
