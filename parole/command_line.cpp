#include "command_line.h"

#include "arguments.h"
#include "child_step.h"
#include "help_text.h"
#include "photo_import.h"
#include "recording.h"
#include "sentences.h"
#include "sound_levels.h"
#include "wav_file.h"
#include "word_library.h"
#include "word_name.h"

#include "library/installed_libraries.h"


#include <cstdio>

namespace quillo::parole {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr double kLongestRecordSeconds = 60;

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
    say(stderr, usageText());
    return kBadUsage;
}

// The seconds --record asks for, or 0 when they are not a number of seconds
// that can be recorded.
double secondsToRecord(const Arguments& parser)
{
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("record")).toDouble(&ok);
    return ok && seconds > 0 && seconds <= kLongestRecordSeconds ? seconds : 0;
}

// The recording the options ask for, trimmed and levelled; `wanted` false
// when they ask for none.
bool takeRecording(const Arguments& parser, bool* wanted, Recording* recording, QString* error)
{
    const bool record = parser.has(QStringLiteral("record"));
    const bool file = parser.has(QStringLiteral("recording"));
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
    // The command decides what --picture is: after remove, a part, not a file.
    const bool removeCommand = arguments.size() > 1 && arguments.at(1) == QLatin1String("remove");
    const QString help = QStringLiteral("help");
    const QString picture = QStringLiteral("picture");
    const QString record = QStringLiteral("record");
    const QString recording = QStringLiteral("recording");
    const QString voicePart = QStringLiteral("voice");
    const QString removeLetterOption = QStringLiteral("remove");
    Arguments parser;
    const QString wrong = readArguments(arguments.mid(1),
                                        {{help}, {picture, !removeCommand}, {record, true}, {recording, true}, {voicePart},
                                         {removeLetterOption}},
                                        &parser);
    if (!wrong.isEmpty())
        return badUsage(wrong);
    if (parser.has(help)) {
        say(stdout, helpText());
        return kDone;
    }
    const QStringList positional = parser.words;
    if (positional.size() != 2)
        return badUsage(positional.isEmpty() ? QStringLiteral("Manca il comando.")
                                             : QStringLiteral("Ci vogliono il comando e una sola parola."));
    const QString command = positional.at(0);
    const QString word = wordFromTyped(positional.at(1));
    if (parser.has(record) && parser.has(recording))
        return badUsage(QStringLiteral("--record e --recording non vanno insieme."));
    if (parser.has(record) && secondsToRecord(parser) == 0)
        return badUsage(QStringLiteral("--record vuole i secondi da registrare, più di 0 e al massimo %1.")
                            .arg(kLongestRecordSeconds));
    const bool parts = parser.has(voicePart) || (removeCommand && parser.has(picture));
    if (parts && command != QLatin1String("remove"))
        return badUsage(QStringLiteral("--voice e --picture senza file valgono solo con remove."));
    if (parser.has(removeLetterOption) && command != QLatin1String("letter"))
        return badUsage(QStringLiteral("--remove vale solo con letter; per una parola: remove PAROLA."));
    MediaLibrary libraries = installedLibraries();

    if (command == QLatin1String("remove")) {
        if (parser.has(record) || parser.has(recording))
            return badUsage(QStringLiteral("Il comando remove vuole la parola, e --picture o --voice per toglierne una parte sola."));
        const int which = (parser.has(picture) ? PicturePart : 0) | (parser.has(voicePart) ? VoicePart : 0);
        const WordEntry before = wordEntry(libraries, word);
        if (const QString why = removeWord(libraries, word, which ? which : BothParts); !why.isEmpty())
            return refuse(why);
        say(stdout, removedSentence(before, which ? which : BothParts));
        return kDone;
    }
    if (command == QLatin1String("add")) {
        if (!parser.has(picture) && !parser.has(record) && !parser.has(recording))
            return badUsage(QStringLiteral("Il comando add vuole la foto (--picture FOTO), la voce (--record SECONDI o "
                                           "--recording FILE.wav), o tutte e due."));
        QString why = wordNameProblem(word, libraries);
        if (!why.isEmpty())
            return refuse(why);
        const bool replacing = !wordEntry(libraries, word).word.isEmpty();
        if (!parser.has(picture) && !replacing)
            return refuse(QStringLiteral("Scegli una foto per la parola «%1».").arg(word));
        QImage image;
        if (parser.has(picture)) {
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
            const QString option = parser.has(record) ? QStringLiteral("--record") : QStringLiteral("--recording");
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
        if (parser.has(picture))
            return badUsage(QStringLiteral("Il comando letter non vuole una foto."));
        const bool removing = parser.has(removeLetterOption);
        if (removing == (parser.has(record) || parser.has(recording)))
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
