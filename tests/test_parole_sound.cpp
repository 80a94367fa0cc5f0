// "Le parole di Quillo" against a real, private PulseAudio server in each
// state a parent's machine may be in: no server at all, a server with
// speakers but no microphone (only the speakers' monitor, which must never
// be recorded in place of a microphone), and a microphone plugged in while
// the window is open. The window says what is missing once, in Italian, in
// one place, and records only from a microphone. A microphone without
// speakers is said as such.

#include "parole/parole_window.h"
#include "parole/recording.h"

#include "support/media_folder.h"
#include "support/pulse_server.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillo::parole;
using quillo::test::MediaFolder;
using quillo::test::PulseServer;

namespace {

const QString kNothing = QStringLiteral("Non trovo né un microfono né un altoparlante: puoi aggiungere le foto, e "
                                        "registrare e ascoltare le voci quando li colleghi.");
const QString kNoMicrophone = QStringLiteral("Non trovo nessun microfono: puoi aggiungere le foto, e registrare la "
                                             "tua voce quando ne colleghi uno.");

// pactl against the server useInThisProcess() pointed at.
bool pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

}  // namespace

class TestParoleSound : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void noServer();
    void speakersWithoutMicrophone();
    void microphoneWithoutSpeakers();

private:
    std::unique_ptr<ParoleWindow> openWindow()
    {
        auto window = std::make_unique<ParoleWindow>(quillo::MediaLibrary{bundled_.path(), user_.filePath(QStringLiteral("quillo"))});
        window->show();
        return window;
    }
    static QLabel* sound(ParoleWindow* window) { return window->findChild<QLabel*>(QStringLiteral("sound")); }
    static QLabel* message(ParoleWindow* window) { return window->findChild<QLabel*>(QStringLiteral("message")); }
    static QPushButton* record(ParoleWindow* window) { return window->findChild<QPushButton*>(QStringLiteral("record")); }

    MediaFolder bundled_;
    QTemporaryDir user_;
};

void TestParoleSound::initTestCase()
{
    if (!PulseServer::installed())
        QSKIP("pulseaudio is not installed");
    bundled_.addBasics();
}

void TestParoleSound::noServer()
{
    PulseServer server;
    server.useInThisProcess();  // pointed at a server that is not there
    const auto window = openWindow();
    QTRY_VERIFY(sound(window.get())->isVisible());
    QCOMPARE(sound(window.get())->text(), kNothing);
    QVERIFY(!record(window.get())->isEnabled());
    QVERIFY(!message(window.get())->text().contains(QStringLiteral("microfono")));  // said once
    qInfo("no server: %s", qPrintable(sound(window.get())->text()));
}

void TestParoleSound::speakersWithoutMicrophone()
{
    PulseServer server;
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    {
        // The monitor is there to record, but it is not a microphone.
        Recording recording;
        QString error;
        QVERIFY(!recordFor(0.2, &recording, &error));
        QCOMPARE(error, kNoMicrophone);
    }
    const auto window = openWindow();
    QTRY_VERIFY(sound(window.get())->isVisible());
    QCOMPARE(sound(window.get())->text(), kNoMicrophone);
    QVERIFY(!record(window.get())->isEnabled());
    qInfo("speakers, no microphone: %s", qPrintable(sound(window.get())->text()));

    // A microphone plugged in: noticed without reopening the window.
    QVERIFY(pactl({QStringLiteral("load-module"), QStringLiteral("module-null-source"), QStringLiteral("source_name=mic")}));
    QTRY_VERIFY_WITH_TIMEOUT(!sound(window.get())->isVisible(), 10000);
    QVERIFY(record(window.get())->isEnabled());
    QTest::mouseClick(record(window.get()), Qt::LeftButton);
    QCOMPARE(record(window.get())->text(), QStringLiteral("Ferma"));
    QTest::qWait(300);
    QTest::mouseClick(record(window.get()), Qt::LeftButton);
    // The null source hears silence: refused as such, recorded all the same.
    QVERIFY2(message(window.get())->text().contains(QStringLiteral("La registrazione è muta")),
             qPrintable(message(window.get())->text()));
}

// A microphone but no speakers: the audio library starts on no server without
// speakers, so nothing can be recorded until some are there; the window says
// what is missing, not that the microphone is.
void TestParoleSound::microphoneWithoutSpeakers()
{
    PulseServer server(48000, false);
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    QVERIFY(server.pactl({QStringLiteral("load-module"), QStringLiteral("module-null-source"), QStringLiteral("source_name=mic")}));
    const QString noSpeakers = QStringLiteral("Non trovo nessun altoparlante: puoi aggiungere le foto, e registrare e "
                                              "ascoltare le voci quando ne colleghi uno.");
    {
        Recording recording;
        QString error;
        QVERIFY(!recordFor(0.2, &recording, &error));
        QCOMPARE(error, noSpeakers);  // the command line says the same
    }
    const auto window = openWindow();
    QTRY_VERIFY(sound(window.get())->isVisible());
    QCOMPARE(sound(window.get())->text(), noSpeakers);
    QVERIFY(!record(window.get())->isEnabled());

    // Speakers plugged in: recording works without reopening the window.
    QVERIFY(server.pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"), QStringLiteral("sink_name=quillo")}));
    QTRY_VERIFY_WITH_TIMEOUT(!sound(window.get())->isVisible(), 10000);
    QVERIFY(record(window.get())->isEnabled());
}

QTEST_MAIN(TestParoleSound)
#include "test_parole_sound.moc"
