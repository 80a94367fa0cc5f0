#include "app/command_line.h"

#include "platform/base/log.h"

#include <QCommandLineParser>

namespace quillo {

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A first typing toy for young children."));
    const QCommandLineOption holdToQuit(
        QStringLiteral("hold-to-quit"),
        QStringLiteral("Alt+Q and Alt+F4 quit only when held for 2 seconds with no other key pressed."));
    parser.addOption(holdToQuit);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments))
        qCWarning(lcQuillo, "%s Quillo runs on without it.", qPrintable(parser.errorText()));
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    CommandLine line;
    line.holdToQuit = parser.isSet(holdToQuit);
    return line;
}

}  // namespace quillo
