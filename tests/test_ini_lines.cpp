// The lines of the settings file: which the reader keeps, and what Esc and
// Alt+F2 make of a damaged file or of one shared with other sections.
#include "platform/settings_file/ini_lines.h"
#include "support/log_capture.h"
#include "support/stored_settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

#include <random>

using namespace quillo::test;

namespace {


// `size` bytes from a fixed seed, so that every run sees the same junk: any
// byte at all, or only the characters that mean something to an INI reader.
QByteArray junk(quint32 seed, int size, bool iniLike)
{
    static const QByteArray kIni = "[]=\"\\;\r\n \t@%Sa0";
    std::mt19937 gen(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = iniLike ? kIni.at(int(gen() % kIni.size())) : char(gen() & 0xFF);
    return bytes;
}

}  // namespace

class TestIniLines : public QObject {
    Q_OBJECT

private slots:
    void init() { removeConfigFolder(); }

    void iniLineRules_data();
    void iniLineRules();
    void damagedFile_data();
    void damagedFile();
    void goodFileKeepsOtherSections();
};

void TestIniLines::iniLineRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("kept");  // what the copy for QSettings holds of it

    QTest::newRow("key") << QByteArray("\tFontname = DejaVu Sans ") << QByteArray("\tFontname = DejaVu Sans \n");
    QTest::newRow("quoted =") << QByteArray("k=\"a=b\"") << QByteArray("k=\"a=b\"\n");
    QTest::newRow("escaped quote") << QByteArray("k=\"a\\\"b\"") << QByteArray("k=\"a\\\"b\"\n");
    QTest::newRow("UTF-8") << QByteArray("Fontname=Caff\xC3\xA8") << QByteArray("Fontname=Caff\xC3\xA8\n");
    QTest::newRow("comment") << QByteArray("; [App") << QByteArray("; [App\n");
    QTest::newRow("header") << QByteArray("[App]") << QByteArray("[App]\n");
    QTest::newRow("header mended") << QByteArray("[App") << QByteArray("[App]\n");
    QTest::newRow("open quote") << QByteArray("k=\"abc") << QByteArray();
    QTest::newRow("line joined") << QByteArray("k=abc\\") << QByteArray();
    QTest::newRow("quote in key") << QByteArray("a\"b=c") << QByteArray();
    QTest::newRow("no =") << QByteArray("garbage") << QByteArray();
    QTest::newRow("no key") << QByteArray("=1") << QByteArray();
    QTest::newRow("bad UTF-8") << QByteArray("k=\xFF") << QByteArray();
    QTest::newRow("control") << QByteArray("k=a\x01") << QByteArray();
    QTest::newRow("header junk after") << QByteArray("[App]x") << QByteArray();
    QTest::newRow("quote in header") << QByteArray("[A\"pp]") << QByteArray();
}

void TestIniLines::iniLineRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, kept);
    const quillo::IniLines lines = quillo::iniLines("[Screen]\r\n" + line + "\nCirc=1\n");
    QCOMPARE(lines.kept, "[Screen]\n" + kept + "Circ=1\n\n");
    const bool clean = kept == line + '\n';
    QCOMPARE(lines.leftOut, clean ? 0 : 1);
    QCOMPARE(lines.firstLeftOut, clean ? 0 : 2);
}

void TestIniLines::damagedFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("corner");    // what Esc reads from the file
    QTest::addColumn<int>("wordMode");  // likewise, -1 where it is not there to read

    const QByteArray after = "\n[App]\nParolasi=0\n[Other]\nkept=1\n";
    QTest::newRow("header without bracket") << QByteArray("[Screen\nCirc=70\n") << 70 << -1;
    QTest::newRow("junk at the end") << "[Screen]\nCirc=70\n" + junk(7, 100 * 1024, false) << 70 << -1;
    for (quint32 seed = 1; seed <= 4; ++seed) {
        QTest::addRow("binary junk, seed %u", seed)
            << "[Screen]\nCirc=60\n" + junk(seed, 100 * 1024, false) + after << 60 << 0;
        QTest::addRow("INI-like junk, seed %u", seed)
            << "[Screen]\nCirc=60\n" + junk(seed, 4 * 1024, true) + after << 60 << 0;
    }
}

void TestIniLines::damagedFile()
{
    // Esc reads what it can and names every value it did not take from the
    // file; the next save leaves the six keys and nothing else.
    QFETCH(QByteArray, file);
    QFETCH(int, corner);
    QFETCH(int, wordMode);
    writeIni(file);
    LookRig w;
    w.wordMode.setValue(2);
    LogCapture loadErr;
    w.load();
    const QString loadSaid = loadErr.text();
    QVERIFY2(loadSaid.contains(QStringLiteral("damaged")), qPrintable(loadSaid));
    QCOMPARE(int(w.corner), corner);
    if (wordMode >= 0)
        QCOMPARE(w.wordMode.value(), wordMode);
    const QMap<QString, bool> fromFile{{QStringLiteral("Screen/Circ"), true},
                                       {QStringLiteral("App/Parolasi"), wordMode >= 0}};
    for (const QString& key : kLookKeys) {
        const bool named = loadSaid.contains(key + u' ');
        QVERIFY2(named != fromFile.value(key), qPrintable(key + QStringLiteral(": ") + loadSaid.left(2000)));
    }

    w.corner = 30;
    LogCapture saveErr;
    w.save();
    const QString saveSaid = saveErr.text();
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY2(saveSaid.startsWith(QStringLiteral("quillo: replacing a damaged settings file")), qPrintable(saveSaid));
    QStringList lines = iniLines();
    lines.sort();
    QCOMPARE(lines, (QStringList{QStringLiteral("Backcolor=16777215"), QStringLiteral("Circ=30"),
                                 QStringLiteral("Fontname=Arial"), QStringLiteral("Fontsize=48"),
                                 QStringLiteral("Forecolor=0"),
                                 QStringLiteral("Parolasi=%1").arg(wordMode >= 0 ? wordMode : 1),
                                 QStringLiteral("[App]"), QStringLiteral("[Screen]")}));

    w.corner = 5;
    LogCapture again;
    w.load();
    QCOMPARE(again.text(), QString());
    QCOMPARE(w.corner, qint16(30));
}

void TestIniLines::goodFileKeepsOtherSections()
{
    // A file that parses cleanly keeps the keys of other programs' sections
    // (not an empty value's @Invalid()); the two sections of the look hold
    // its six keys and nothing else.
    writeIni("; a comment\n[Other]\nkey=\"a, b\"\nempty=@Invalid()\n[Screen]\nCirc=70\nExtra=1\n");
    LookRig w;
    LogCapture err;
    w.save();
    QCOMPARE(err.text(), QString());
    QSettings check(iniPath(), QSettings::IniFormat);
    QCOMPARE(check.value(QStringLiteral("Other/key")).toString(), QStringLiteral("a, b"));
    QCOMPARE(check.childGroups(), (QStringList{QStringLiteral("App"), QStringLiteral("Other"), QStringLiteral("Screen")}));
    QStringList keys = check.allKeys();
    keys.removeAll(QStringLiteral("Other/key"));
    keys.sort();
    QStringList look = kLookKeys;
    look.sort();
    QCOMPARE(keys, look);
    QVERIFY(!readIni().contains("@Invalid"));
}

int main(int argc, char** argv)
{
    // The settings path is fixed at the first use of the store.
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestIniLines test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ini_lines.moc"
