#include "recording_checks.h"

#include "name_rules.h"

#include "platform/files/file_search.h"
#include "library/media_library.h"
#include "platform/sound/wav_decoder.h"

#include <QMap>

namespace quillo::check {

namespace {

struct Needed {
    QStringList italian, english;
};

}  // namespace

void checkRequiredRecordings(Report& report, const QString& letters, const QString& words)
{
    // Every file the program always needs, with what it is for.
    QMap<QString, Needed> needed;
    for (char c = 'a'; c <= 'z'; ++c) {
        Needed& n = needed[QStringLiteral("%1.wav").arg(QLatin1Char(c))];
        n.italian << QStringLiteral("la lettera %1").arg(QLatin1Char(c));
        n.english << QStringLiteral("letter %1").arg(QLatin1Char(c));
    }
    for (char c = '0'; c <= '9'; ++c) {
        Needed& n = needed[QStringLiteral("%1.wav").arg(QLatin1Char(c))];
        n.italian << QStringLiteral("la cifra %1").arg(QLatin1Char(c));
        n.english << QStringLiteral("digit %1").arg(QLatin1Char(c));
    }
    auto role = [&](const QString& file, const char* italian, const char* english) {
        needed[file].italian << QString::fromUtf8(italian);
        needed[file].english << QString::fromUtf8(english);
    };
    role(kFallbackSound, "il suono dei tasti senza registrazione", "the sound of keys without a recording");
    role(kWordCue, "l'avviso prima della parola", "the cue before a word");
    role(kSavedFirst, "la conferma del salvataggio", "the confirmation of a save");
    role(kSavedSecond, "la conferma del salvataggio", "the confirmation of a save");

    for (auto it = needed.cbegin(); !letters.isEmpty() && it != needed.cend(); ++it) {
        if (!quillo::findFirstFile(letters, it.key(), /*wildcards=*/false).isEmpty())
            continue;
        report.add(QStringLiteral("alfabeto/") + it.key(),
                   QStringLiteral("manca: %1").arg(it->italian.join(QStringLiteral(" e "))),
                   QStringLiteral("missing: %1").arg(it->english.join(QStringLiteral(" and "))));
    }
    if (!words.isEmpty() && quillo::findFirstFile(words, kPraiseSound, /*wildcards=*/false).isEmpty())
        report.add(QStringLiteral("parole/") + kPraiseSound, QStringLiteral("manca: la lode"),
                   QStringLiteral("missing: the praise"));
}

void checkRecordings(Report& report, const QString& folderName, const QString& folder)
{
    using quillo::WavRefusal;
    const QString instead = QStringLiteral("Quillo suona il segnale al suo posto");
    const QString insteadEn = QStringLiteral("Quillo plays the chime instead");
    for (const QString& name : listMatchingFiles(folder, QStringLiteral("*.wav"))) {
        ++report.recordings;
        const quillo::DecodedWav wav =
            quillo::decodeWavFile(folder + name, quillo::PcmFormat::commonServer(), /*onlyCheck=*/true);
        const QString where = folderName + u'/' + shown(name);
        const double megabytes = wav.bytes / (1024 * 1024);
        switch (wav.refusal) {
        case WavRefusal::None:
            break;
        case WavRefusal::TooLong:
            report.add(where, QStringLiteral("la registrazione è troppo lunga, ") + instead,
                       QStringLiteral("the recording is too long, ") + insteadEn,
                       QStringLiteral("%1 minutes; at most %2").arg(wav.seconds / 60, 0, 'f', 1).arg(quillo::kLongestRecordingSeconds / 60));
            break;
        case WavRefusal::TooLarge:
            report.add(where, QStringLiteral("la registrazione vuole troppa memoria, ") + instead,
                       QStringLiteral("the recording needs too much memory, ") + insteadEn,
                       QStringLiteral("%1 MB; at most %2 MB").arg(megabytes, 0, 'f', 0).arg(quillo::kMostDecodingBytes >> 20));
            break;
        case WavRefusal::FileTooLarge:
            report.add(where, QStringLiteral("il file è troppo grande, ") + instead,
                       QStringLiteral("the file is too large, ") + insteadEn,
                       QStringLiteral("%1 MB; at most %2 MB").arg(megabytes, 0, 'f', 0).arg(quillo::kLargestWavFileBytes >> 20));
            break;
        case WavRefusal::Missing:
        case WavRefusal::NotOpened:
            report.add(where, QStringLiteral("la registrazione non si apre"), QStringLiteral("the recording does not open"),
                       shown(wav.detail));
            break;
        case WavRefusal::NotAWav:
        case WavRefusal::NoMemory:
        case WavRefusal::NotConverted:
            report.add(where, QStringLiteral("la registrazione non si carica"),
                       QStringLiteral("the recording does not load"), shown(wav.detail));
            break;
        }
    }
}

}  // namespace quillo::check
