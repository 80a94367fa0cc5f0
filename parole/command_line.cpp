#include "command_line.h"

#include "child_step.h"
#include "photo_import.h"
#include "recording.h"
#include "sentences.h"
#include "sound_levels.h"
#include "wav_file.h"
#include "word_library.h"
#include "word_name.h"

#include "library/installed_libraries.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <cstdio>

namespace quillo::parole {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr double kLongestRecordSeconds = 60;

const char kUsage[] =
    "uso: quillo-parole                       apre la finestra\n"
    "     quillo-parole add PAROLA [--picture FOTO] [--record SECONDI | --recording FILE.wav]\n"
    "     quillo-parole letter CARATTERE (--record SECONDI | --recording FILE.wav | --remove)\n"
    "     quillo-parole remove PAROLA [--picture | --voice]\n"
    "     quillo-parole child NOME [--autologin] [--x11] [--keep-sysrq]   prepara l'account del bambino\n"
    "     quillo-parole child NOME --undo          annulla quello che child aveva fatto\n"
    "     quillo-parole child                      dice com'è l'account del bambino";

// After `remove`, --picture names a part, not a file: it is read as this.
const char kPicturePart[] = "--picture-part";

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

// The seconds --record asks for, or 0 when they are not a number of seconds
// that can be recorded.
double secondsToRecord(const QCommandLineParser& parser)
{
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("record")).toDouble(&ok);
    return ok && seconds > 0 && seconds <= kLongestRecordSeconds ? seconds : 0;
}

// The recording the options ask for, trimmed and levelled; `wanted` false
// when they ask for none.
bool takeRecording(const QCommandLineParser& parser, bool* wanted, Recording* recording, QString* error)
{
    const bool record = parser.isSet(QStringLiteral("record"));
    const bool file = parser.isSet(QStringLiteral("recording"));
    *wanted = record || file;
    if (record) {
        const double seconds = secondsToRecord(parser);
        if (!recordFor(seconds, recording, error, [seconds] {
                say(stdout, QStringLiteral("Registro per %1 secondi…").arg(seconds));
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
    // The child's account has its own program, which checks its own arguments.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("child"))
        return runChildStep(arguments.mid(2));
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
    const QCommandLineOption voicePart(QStringLiteral("voice"), QStringLiteral("Con remove: toglie solo la voce."));
    QCommandLineOption picturePart(QString::fromLatin1(kPicturePart).mid(2));
    picturePart.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption removeLetterOption(QStringLiteral("remove"),
                                                QStringLiteral("Con letter: toglie la tua voce del tasto."));
    parser.addOptions({help, picture, record, recording, voicePart, picturePart, removeLetterOption});
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("add, letter o remove"));
    QStringList words = arguments;
    if (words.size() > 1 && words.at(1) == QLatin1String("remove"))
        words.replaceInStrings(QRegularExpression(QStringLiteral("^--picture$")), QString::fromLatin1(kPicturePart));
    if (!parser.parse(words)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return badUsage(QStringLiteral("Opzione sconosciuta: %1.").arg(unknown.join(QStringLiteral(", "))));
        const QString english = parser.errorText();
        const qsizetype quote = english.indexOf(u'\'');
        const QString option = quote >= 0 ? english.mid(quote).remove(u'\'').remove(u'.') : QString();
        if (english.startsWith(QLatin1String("Missing value")))
            return badUsage(QStringLiteral("Manca il valore dopo %1.").arg(option));
        std::fprintf(stderr, "quillo-parole: %s\n", qPrintable(english));
        return badUsage(QStringLiteral("Argomenti non validi."));
    }
    if (parser.isSet(help)) {
        say(stdout, QString::fromUtf8(kUsage));
        return kDone;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return badUsage(positional.isEmpty() ? QStringLiteral("Manca il comando.")
                                             : QStringLiteral("Ci vogliono il comando e una sola parola."));
    const QString command = positional.at(0);
    const QString word = positional.at(1);
    if (parser.isSet(record) && parser.isSet(recording))
        return badUsage(QStringLiteral("--record e --recording non vanno insieme."));
    if (parser.isSet(record) && secondsToRecord(parser) == 0)
        return badUsage(QStringLiteral("--record vuole i secondi da registrare, più di 0 e al massimo %1.")
                            .arg(kLongestRecordSeconds));
    const bool parts = parser.isSet(voicePart) || parser.isSet(picturePart);
    if (parts && command != QLatin1String("remove"))
        return badUsage(QStringLiteral("--voice e --picture senza file valgono solo con remove."));
    if (parser.isSet(removeLetterOption) && command != QLatin1String("letter"))
        return badUsage(QStringLiteral("--remove vale solo con letter; per una parola: remove PAROLA."));
    MediaLibrary libraries = installedLibraries();

    if (command == QLatin1String("remove")) {
        if (parser.isSet(picture) || parser.isSet(record) || parser.isSet(recording))
            return badUsage(QStringLiteral("Il comando remove vuole la parola, e --picture o --voice per toglierne una parte sola."));
        const int which = (parser.isSet(picturePart) ? PicturePart : 0) | (parser.isSet(voicePart) ? VoicePart : 0);
        const WordEntry before = wordEntry(libraries, word);
        if (const QString why = removeWord(libraries, word, which ? which : BothParts); !why.isEmpty())
            return refuse(why);
        say(stdout, removedSentence(before, which ? which : BothParts));
        return kDone;
    }
    if (command == QLatin1String("add")) {
        if (!parser.isSet(picture) && !parser.isSet(record) && !parser.isSet(recording))
            return badUsage(QStringLiteral("Il comando add vuole la foto (--picture FOTO), la voce (--record SECONDI o "
                                           "--recording FILE.wav), o tutte e due."));
        QString why = wordNameProblem(word, libraries);
        if (!why.isEmpty())
            return refuse(why);
        const bool replacing = !wordEntry(libraries, word).word.isEmpty();
        if (!parser.isSet(picture) && !replacing)
            return refuse(QStringLiteral("Scegli una foto per la parola «%1».").arg(word));
        QImage image;
        if (parser.isSet(picture)) {
            image = readPhoto(parser.value(picture), &why);
            if (image.isNull())
                return refuse(why);
        }
        bool wanted = false;
        Recording voice;
        // A save is whole or nothing: without its voice, the photo waits too.
        if (!takeRecording(parser, &wanted, &voice, &why)) {
            if (image.isNull())
                return refuse(why);
            const QString option = parser.isSet(record) ? QStringLiteral("--record") : QStringLiteral("--recording");
            return refuse(QStringLiteral("%1 Non ho salvato niente di «%2», nemmeno la foto: per salvarla da sola, "
                                         "ripeti il comando senza %3.")
                              .arg(why, word, option));
        }
        if (why = addWord(libraries, word, image, voice); !why.isEmpty())
            return refuse(why);
        say(stdout, addedSentence(word, replacing, wanted));
        return kDone;
    }
    if (command == QLatin1String("letter")) {
        if (parser.isSet(picture))
            return badUsage(QStringLiteral("Il comando letter non vuole una foto."));
        const bool removing = parser.isSet(removeLetterOption);
        if (removing == (parser.isSet(record) || parser.isSet(recording)))
            return badUsage(QStringLiteral("Il comando letter vuole --record SECONDI, --recording FILE.wav o --remove."));
        QString why = letterNameProblem(word);
        if (!why.isEmpty())
            return refuse(why);
        if (removing) {
            const LetterEntry before = letterEntry(libraries, word);
            if (why = removeLetter(libraries, word); !why.isEmpty())
                return refuse(why);
            say(stdout, letterRemovedSentence(before));
            return kDone;
        }
        bool wanted = false;
        Recording voice;
        if (!takeRecording(parser, &wanted, &voice, &why))
            return refuse(why);
        if (why = saveLetter(libraries, word, voice); !why.isEmpty())
            return refuse(why);
        say(stdout, letterSavedSentence(word));
        return kDone;
    }
    return badUsage(QStringLiteral("Comando sconosciuto: %1.").arg(command));
}

}  // namespace quillo::parole
