// The bundled key recordings are the recorded speaker's own: each is held
// against the speaker's file (Debian's asterisk-core-sounds-it-g722), decoded
// by ffmpeg as tools/make-media.sh decodes it, by the largest normalised
// cross-correlation of the two waveforms at 22050 Hz.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const QString kSpeakerFolder = QStringLiteral("/usr/share/asterisk/sounds/it_IT_m_Carlo/");
const QString kKeys = QStringLiteral(QUILLO_SOURCE_DIR "/media/alfabeto/");
constexpr int kRate = 22050;
// Above this, one recording is the other (trimmed, faded, levelled); two
// different words of the same speaker stay well below.
constexpr double kSame = 0.9;

// Mono samples at kRate; empty when ffmpeg cannot read the input.
std::vector<float> decode(const QStringList& input)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                                       QStringLiteral("error")} +
                                               input +
                                               QStringList{QStringLiteral("-f"), QStringLiteral("f32le"),
                                                           QStringLiteral("-ac"), QStringLiteral("1"),
                                                           QStringLiteral("-ar"), QString::number(kRate),
                                                           QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    std::vector<float> samples(size_t(bytes.size()) / sizeof(float));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
}

std::vector<float> speakerFile(const QString& name)
{
    return decode({QStringLiteral("-f"), QStringLiteral("g722"), QStringLiteral("-i"), kSpeakerFolder + name +
                                                                                           QStringLiteral(".g722")});
}

std::vector<float> bundledKey(const QString& name)
{
    return decode({QStringLiteral("-i"), kKeys + name + QStringLiteral(".wav")});
}

// The largest normalised cross-correlation of `part` against `whole` over
// the shifts where part lies within whole (with 0.1 s to spare at either
// end, for the resamplers' delay): 1 for an exact, rescaled piece.
double similarity(const std::vector<float>& part, const std::vector<float>& whole)
{
    double partEnergy = 0;
    for (float s : part)
        partEnergy += double(s) * s;
    if (part.empty() || whole.empty() || partEnergy <= 0)
        return 0;
    const long n = long(part.size()), m = long(whole.size()), slack = kRate / 10;
    double best = 0;
    for (long lag = -slack; lag <= m - n + slack; ++lag) {
        double dot = 0, energy = 0;
        for (long i = std::max(0L, -lag); i < n && i + lag < m; ++i) {
            const double w = whole[size_t(i + lag)];
            dot += part[size_t(i)] * w;
            energy += w * w;
        }
        if (energy > 0)
            best = std::max(best, dot / std::sqrt(partEnergy * energy));
    }
    return best;
}

// The keys tools/media/alfabeto.tsv gives to the speaker: name, recording.
QList<QPair<QString, QString>> speakerKeys()
{
    QList<QPair<QString, QString>> keys;
    QFile list(QStringLiteral(QUILLO_SOURCE_DIR "/tools/media/alfabeto.tsv"));
    if (!list.open(QIODevice::ReadOnly))
        return keys;
    while (!list.atEnd()) {
        const QStringList columns = QString::fromUtf8(list.readLine()).chopped(1).split(u'\t');
        // A comment starts with "# "; "#" and a tab is the "#" key.
        if (columns.size() >= 3 && !columns[0].startsWith(QLatin1String("# ")) &&
            columns[1] == QLatin1String("speaker"))
            keys.append({columns[0], columns[2]});
    }
    return keys;
}

}  // namespace

class SpeakerRecordingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QString missing;
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            missing = QStringLiteral("ffmpeg is not installed");
        else if (!QFile::exists(kSpeakerFolder + QStringLiteral("letters/a.g722")))
            missing = QStringLiteral("asterisk-core-sounds-it-g722 is not installed");
        if (missing.isEmpty())
            return;
        missing += QStringLiteral(" (bash tools/setup.sh test installs it)");
        if (qgetenv("CI") == "true")
            QFAIL(qPrintable(missing + QStringLiteral("; CI installs every tool")));
        QSKIP(qPrintable(missing));
    }

    void keyIsTheSpeakers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("recording");
        QTest::addColumn<bool>("same");
        QTest::newRow("a") << "a" << "letters/a" << true;
        QTest::newRow("7") << "7" << "digits/7" << true;
        QTest::newRow("!") << "!" << "letters/exclaimation-point" << true;
        QTest::newRow("#") << "#" << "digits/pound" << true;
        QTest::newRow("$") << "$" << "letters/dollar" << true;
        // The signs he has no Italian name for are not his: "at", "virgolette".
        QTest::newRow("@ is not at") << "@" << "letters/at" << false;
        QTest::newRow("' is not virgolette") << "'" << "letters/ascii39" << false;
        // The measure tells two words of the same voice apart.
        QTest::newRow("7 is not uno") << "7" << "digits/1" << false;
        QTest::newRow("a is not bi") << "a" << "letters/b" << false;
    }

    void keyIsTheSpeakers()
    {
        QFETCH(QString, key);
        QFETCH(QString, recording);
        QFETCH(bool, same);
        const std::vector<float> bundled = bundledKey(key);
        const std::vector<float> original = speakerFile(recording);
        QVERIFY2(!bundled.empty(), qPrintable(key + QStringLiteral(".wav cannot be read")));
        QVERIFY2(!original.empty(), qPrintable(recording + QStringLiteral(" cannot be decoded")));
        const double found = similarity(bundled, original);
        QVERIFY2((found > kSame) == same, qPrintable(QStringLiteral("%1.wav against %2: %3")
                                                         .arg(key, recording)
                                                         .arg(found, 0, 'f', 3)));
    }

    // Every key the list gives to the speaker has his recording in the
    // bundled library: the library was rebuilt after the list changed.
    void listedKeysAreTheSpeakers()
    {
        const auto keys = speakerKeys();
        QVERIFY(keys.size() >= 36);  // a-z and 0-9 at least
        QStringList wrong;
        for (const auto& [key, recording] : keys) {
            const double found = similarity(bundledKey(key), speakerFile(recording));
            if (found <= kSame)
                wrong += QStringLiteral("%1.wav (%2: %3)").arg(key, recording).arg(found, 0, 'f', 3);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }
};

QTEST_GUILESS_MAIN(SpeakerRecordingsTest)
#include "test_speaker_recordings.moc"
