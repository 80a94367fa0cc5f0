#include "command_line.h"

#include "photo_import.h"
#include "recording.h"
#include "sound_levels.h"
#include "wav_file.h"
#include "word_library.h"
#include "word_name.h"

#include <QCommandLineParser>

#include <cstdio>

namespace quillo::parole {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr double kLongestRecordSeconds = 60;

const char kUsage[] =
    "uso: quillo-parole                       apre la finestra\n"
    "     quillo-parole add PAROLA --picture FOTO [--record SECONDI | --recording FILE.wav]\n"
    "     quillo-parole letter CARATTERE (--record SECONDI | --recording FILE.wav)\n"
    "     quillo-parole remove PAROLA";

void say(std::FILE* to, const QString& line)
{
    std::fputs(line.toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

int refuse(const QString& why)
{
    say(stderr, QStringLiteral("quillo-parole: ") + why);
    return kFailed;
}

int badUsage(const QString& why)
{
    say(stderr, QStringLiteral("quillo-parole: ") + why);
    say(stderr, QString::fromUtf8(kUsage));
    return kBadUsage;
}

// The recording the options ask for, trimmed and levelled; `wanted` false
// when they ask for none.
bool takeRecording(const QCommandLineParser& parser, bool* wanted, Recording* recording, QString* error)
{
    const bool record = parser.isSet(QStringLiteral("record"));
    const bool file = parser.isSet(QStringLiteral("recording"));
    *wanted = record || file;
    if (record) {
        bool ok = false;
        const double seconds = parser.value(QStringLiteral("record")).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > kLongestRecordSeconds) {
            *error = QStringLiteral("--record vuole i secondi da registrare, più di 0 e al massimo %1.")
                         .arg(kLongestRecordSeconds);
            return false;
        }
        if (!recordFor(seconds, recording, error, [seconds] {
                say(stdout, QStringLiteral("registro per %1 secondi...").arg(seconds));
            }))
            return false;
    } else if (file && !readWav(parser.value(QStringLiteral("recording")), recording, error)) {
        return false;
    }
    return !*wanted || prepareRecording(recording, error);
}

}  // namespace

int runCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Le parole di Quillo: aggiunge parole, foto e voci alla "
                                                    "libreria di Quillo della famiglia."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra questo aiuto."));
    const QCommandLineOption picture(QStringLiteral("picture"), QStringLiteral("La foto della parola."),
                                     QStringLiteral("FOTO"));
    const QCommandLineOption record(QStringLiteral("record"), QStringLiteral("Registra dal microfono per SECONDI."),
                                    QStringLiteral("SECONDI"));
    const QCommandLineOption recording(QStringLiteral("recording"), QStringLiteral("Prende la voce da un file WAV."),
                                       QStringLiteral("FILE.wav"));
    parser.addOptions({help, picture, record, recording});
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("add, letter o remove"));
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return badUsage(QStringLiteral("opzione sconosciuta: %1.").arg(unknown.join(QStringLiteral(", "))));
        const QString english = parser.errorText();
        const qsizetype quote = english.indexOf(u'\'');
        const QString option = quote >= 0 ? english.mid(quote).remove(u'\'').remove(u'.') : QString();
        if (english.startsWith(QLatin1String("Missing value")))
            return badUsage(QStringLiteral("manca il valore dopo %1.").arg(option));
        return badUsage(QStringLiteral("argomenti non validi (%1).").arg(english));
    }
    if (parser.isSet(help)) {
        say(stdout, QString::fromUtf8(kUsage));
        return kDone;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return badUsage(positional.isEmpty() ? QStringLiteral("manca il comando.")
                                             : QStringLiteral("ci vogliono il comando e una sola parola."));
    const QString command = positional.at(0);
    const QString word = positional.at(1);
    if (parser.isSet(record) && parser.isSet(recording))
        return badUsage(QStringLiteral("--record e --recording non vanno insieme."));
    const Libraries libraries = Libraries::installed();

    if (command == QLatin1String("remove")) {
        if (parser.isSet(picture) || parser.isSet(record) || parser.isSet(recording))
            return badUsage(QStringLiteral("remove vuole solo la parola."));
        if (const QString why = removeWord(libraries, word); !why.isEmpty())
            return refuse(why);
        say(stdout, QStringLiteral("tolta la parola «%1»").arg(word));
        return kDone;
    }
    if (command == QLatin1String("add")) {
        if (!parser.isSet(picture))
            return badUsage(QStringLiteral("add vuole la foto: --picture FOTO."));
        QString why = wordNameProblem(word, libraries.letterFolders());
        if (!why.isEmpty())
            return refuse(why);
        const QImage image = readPhoto(parser.value(picture), &why);
        if (image.isNull())
            return refuse(why);
        bool wanted = false;
        Recording voice;
        if (!takeRecording(parser, &wanted, &voice, &why))
            return refuse(why);
        if (why = addWord(libraries, word, image, voice); !why.isEmpty())
            return refuse(why);
        say(stdout, wanted ? QStringLiteral("aggiunta la parola «%1», con la voce (%2 s)").arg(word).arg(voice.seconds(), 0, 'f', 2)
                           : QStringLiteral("aggiunta la parola «%1»").arg(word));
        return kDone;
    }
    if (command == QLatin1String("letter")) {
        if (parser.isSet(picture))
            return badUsage(QStringLiteral("letter non vuole una foto."));
        if (!parser.isSet(record) && !parser.isSet(recording))
            return badUsage(QStringLiteral("letter vuole --record SECONDI o --recording FILE.wav."));
        QString why = letterNameProblem(word);
        if (!why.isEmpty())
            return refuse(why);
        bool wanted = false;
        Recording voice;
        if (!takeRecording(parser, &wanted, &voice, &why))
            return refuse(why);
        if (why = saveLetter(libraries, word, voice); !why.isEmpty())
            return refuse(why);
        say(stdout, QStringLiteral("registrata la lettera «%1» (%2 s)").arg(word).arg(voice.seconds(), 0, 'f', 2));
        return kDone;
    }
    return badUsage(QStringLiteral("comando sconosciuto: %1.").arg(command));
}

}  // namespace quillo::parole
