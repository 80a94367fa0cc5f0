// Alt+F2 stores the look in the per-user settings file; Esc reads it back,
// key by key, and shows it. Runs on the real settings store in a temporary
// config folder, on a sheet, a word-mode button and a word box of their own.
#include "settings/setting_values.h"
#include "settings/settings_file.h"
#include "settings/stored_look.h"
#include "support/log_capture.h"
#include "support/stored_settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include <unistd.h>

using namespace quillo::test;

namespace {

// The second process: loads the stored look and prints what it got; or sets
// a look and saves it.
int childMain(int argc, char** argv, const char* mode)
{
    QApplication app(argc, argv);
    LookRig w;
    if (std::strcmp(mode, "--child-load") == 0) {
        w.load();
        const Look a = w.look();
        const bool masks = outlinesFollow(w, a.corner);
        std::printf("%s|%s|%d|%d|%d|%d|%d\n", qPrintable(a.fontName), qPrintable(quillo::formatFontSize(a.fontSize)),
                    int(a.backColor), int(a.foreColor), int(a.corner), a.wordMode, int(masks));
        return 0;
    }
    w.sheet.setFontName(QStringLiteral("DejaVu Sans Mono"));
    w.sheet.setFontSize(21);
    w.sheet.setBackColor(0x00FFEE);
    w.sheet.setForeColor(0x112233);
    w.corner = 90;
    w.wordMode.setValue(2);
    w.save();
    return w.sound.names() == QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")} ? 0 : 1;
}

QString runChild(const char* mode)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
    if (!child.waitForFinished(20000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QStringLiteral("child failed: %1").arg(QString::fromLocal8Bit(child.readAllStandardError()));
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void init() { removeConfigFolder(); }

    void saveBeforeAnyColourChange();
    void fontSizeTexts();
    void loadWithEmptyStore();
    void onlyCornerStored();
    void cornerValuesAppliedUnchanged();
    void systemColourRoundTrip();
    void nothingCachedBetweenProcesses();
    void unusableValues_data();
    void unusableValues();
    void unreadableFile();
};

void TestSettingsFile::saveBeforeAnyColourChange()
{
    QVERIFY(iniPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
    QVERIFY(iniPath().endsWith(QStringLiteral("/QuilloNuvi/QuilloNuvi.ini")));

    LookRig w;
        w.save();
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));

    const QStringList lines = iniLines();
    QVERIFY2(lines.contains(QStringLiteral("[Screen]")), qPrintable(lines.join(u'|')));
    QVERIFY(lines.contains(QStringLiteral("[App]")));
    QVERIFY(lines.contains(QStringLiteral("Fontname=Arial")));
    QVERIFY(lines.contains(QStringLiteral("Fontsize=48")));
    QVERIFY(lines.contains(QStringLiteral("Backcolor=-2147483643")));
    QVERIFY(lines.contains(QStringLiteral("Forecolor=-2147483640")));
    QVERIFY(lines.contains(QStringLiteral("Circ=40")));  // start-up leaves 40 for the first rounding
    QVERIFY(lines.contains(QStringLiteral("Parolasi=1")));
    // Each key in its section.
    QSettings check(iniPath(), QSettings::IniFormat);
    QCOMPARE(check.value(QStringLiteral("Screen/Backcolor")).toString(), QStringLiteral("-2147483643"));
    QCOMPARE(check.value(QStringLiteral("App/Parolasi")).toString(), QStringLiteral("1"));
    QCOMPARE(check.childGroups(), (QStringList{QStringLiteral("App"), QStringLiteral("Screen")}));
}

void TestSettingsFile::fontSizeTexts()
{
    using quillo::formatFontSize;
    using quillo::parseFontSize;
    QCOMPARE(formatFontSize(48), QStringLiteral("48"));
    QCOMPARE(formatFontSize(43.5), QStringLiteral("43.5"));
    QCOMPARE(formatFontSize(8.25), QStringLiteral("8.25"));
    QCOMPARE(formatFontSize(100), QStringLiteral("100"));
    QCOMPARE(parseFontSize(QStringLiteral("43,5")), std::optional<double>(43.5));
    QCOMPARE(parseFontSize(QStringLiteral(" 43.5 ")), std::optional<double>(43.5));

    LookRig w;
    w.sheet.setFontSize(43.5);
    QCOMPARE(w.sheet.fontSize(), 43.5);
    w.save();
    QVERIFY2(iniLines().contains(QStringLiteral("Fontsize=43.5")), readIni().constData());

    // A comma as decimal mark, as typed by hand, with or without quotes.
    for (const QByteArray& line : {QByteArray("Fontsize=43,5"), QByteArray("Fontsize=\"43,5\"")}) {
        writeIni("[Screen]\n" + line + "\n");
        w.sheet.setFontSize(20);
        LogCapture err;
        w.load();
        QVERIFY2(!err.text().contains(QStringLiteral("Fontsize")), qPrintable(err.text()));
        QCOMPARE(w.sheet.fontSize(), 43.5);
    }
}

void TestSettingsFile::loadWithEmptyStore()
{
    LookRig w;
    w.sheet.setFontName(QStringLiteral("DejaVu Serif"));
    w.sheet.setFontSize(20);
    w.sheet.setBackColor(0x123456);
    w.sheet.setForeColor(0x654321);
    w.wordMode.setValue(0);
    w.corner = 50;
    quillo::roundOutlines(w.parts().corners);
    QVERIFY(outlinesFollow(w, 50));

    LogCapture err;
    w.load();
    QCOMPARE(err.text(), QString());  // an absent key is no problem
    verifyLook(w, kDefaults);
    QVERIFY(!QFileInfo::exists(iniPath()));  // reading creates nothing
}

void TestSettingsFile::onlyCornerStored()
{
    writeIni("[Screen]\nCirc=60\n");
    LookRig w;
    w.sheet.setFontSize(20);
    w.wordMode.setValue(0);
    LogCapture err;
    w.load();
    Look expected = kDefaults;
    expected.corner = 60;
    verifyLook(w, expected);
    // Each key that fell back is named once, with its section.
    const QStringList said = err.text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(said.size(), 5);
    for (const char* key : {"Screen/Fontname", "Screen/Fontsize", "Screen/Backcolor", "Screen/Forecolor", "App/Parolasi"})
        QVERIFY2(said.filter(QString::fromLatin1(key) + QStringLiteral(" missing")).size() == 1, key);
}

void TestSettingsFile::cornerValuesAppliedUnchanged()
{
    LookRig w;
    for (int corner : {35, 500, 0, -20}) {
        writeIni(QStringLiteral("[Screen]\nCirc=%1\n").arg(corner).toUtf8());
        w.load();
        QCOMPARE(int(w.corner), corner);
        QVERIFY(outlinesFollow(w, corner));
    }
}

void TestSettingsFile::systemColourRoundTrip()
{
    LookRig w;
    QCOMPARE(w.sheet.backColor(), kSystemBack);
    QCOMPARE(w.sheet.foreColor(), kSystemText);
    w.save();
    w.sheet.setBackColor(0x123456);
    w.sheet.setForeColor(0x654321);
    w.load();
    QCOMPARE(w.sheet.backColor(), kSystemBack);
    QCOMPARE(w.sheet.foreColor(), kSystemText);
    // And the sheet shows the system's colours.
    QCOMPARE(w.sheet.palette().color(QPalette::Base),
             QApplication::palette(&w.sheet).color(QPalette::Active, QPalette::Base));
}

void TestSettingsFile::nothingCachedBetweenProcesses()
{
    // Saved here, loaded in a fresh process.
    {
        LookRig w;
        w.sheet.setFontName(QStringLiteral("DejaVu Serif"));
        w.sheet.setFontSize(43.5);
        w.sheet.setBackColor(0x123456);
        w.sheet.setForeColor(0xABCDEF);
        w.corner = 70;
        w.wordMode.setValue(0);
        w.save();
    }
    QCOMPARE(runChild("--child-load"), QStringLiteral("DejaVu Serif|43.5|1193046|11259375|70|0|1"));

    // Saved in a fresh process, loaded here by a window that read the file before.
    LookRig w;
    w.load();
    QCOMPARE(w.corner, qint16(70));
    QCOMPARE(runChild("--child-save"), QString());
    w.load();
    verifyLook(w, {QStringLiteral("DejaVu Sans Mono"), 21.0, 0x00FFEE, 0x112233, 90, 2});
}

void TestSettingsFile::unusableValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fault");

    QTest::newRow("empty font name") << "Fontname" << "" << "not readable";
    QTest::newRow("blank font name") << "Fontname" << "\"   \"" << "not readable";
    QTest::newRow("size abc") << "Fontsize" << "abc" << "not readable";
    QTest::newRow("size negative") << "Fontsize" << "-0.5" << "out of range";
    QTest::newRow("size zero") << "Fontsize" << "0" << "out of range";
    QTest::newRow("size nan") << "Fontsize" << "nan" << "not readable";
    QTest::newRow("size inf") << "Fontsize" << "inf" << "not readable";
    QTest::newRow("size 1e400") << "Fontsize" << "1e400" << "not readable";
    QTest::newRow("size empty") << "Fontsize" << "" << "not readable";
    QTest::newRow("back too large") << "Backcolor" << "99999999999" << "out of range";
    QTest::newRow("back abc") << "Backcolor" << "abc" << "not readable";
    QTest::newRow("back fraction") << "Backcolor" << "12.5" << "not readable";
    QTest::newRow("fore abc") << "Forecolor" << "abc" << "not readable";
    QTest::newRow("fore too small") << "Forecolor" << "-2147483649" << "out of range";
    QTest::newRow("corner too large") << "Circ" << "99999" << "out of range";
    QTest::newRow("corner abc") << "Circ" << "abc" << "not readable";
    QTest::newRow("word mode 3") << "Parolasi" << "3" << "out of range";
    QTest::newRow("word mode -1") << "Parolasi" << "-1" << "out of range";
    QTest::newRow("word mode abc") << "Parolasi" << "abc" << "not readable";
}

void TestSettingsFile::unusableValues()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, fault);

    QMap<QString, QString> values{{QStringLiteral("Fontname"), QStringLiteral("DejaVu Serif")},
                                  {QStringLiteral("Fontsize"), QStringLiteral("30")},
                                  {QStringLiteral("Backcolor"), QStringLiteral("255")},
                                  {QStringLiteral("Forecolor"), QStringLiteral("65280")},
                                  {QStringLiteral("Circ"), QStringLiteral("60")},
                                  {QStringLiteral("Parolasi"), QStringLiteral("0")}};
    Look expected{QStringLiteral("DejaVu Serif"), 30, 255, 65280, 60, 0};
    values[key] = text;
    if (key == QStringLiteral("Fontname"))
        expected.fontName = kDefaults.fontName;
    else if (key == QStringLiteral("Fontsize"))
        expected.fontSize = kDefaults.fontSize;
    else if (key == QStringLiteral("Backcolor"))
        expected.backColor = kDefaults.backColor;
    else if (key == QStringLiteral("Forecolor"))
        expected.foreColor = kDefaults.foreColor;
    else if (key == QStringLiteral("Circ"))
        expected.corner = kDefaults.corner;
    else
        expected.wordMode = kDefaults.wordMode;

    QString ini = QStringLiteral("[Screen]\n");
    for (const char* k : {"Fontname", "Fontsize", "Backcolor", "Forecolor", "Circ"})
        ini += QString::fromLatin1(k) + u'=' + values.value(QString::fromLatin1(k)) + u'\n';
    ini += QStringLiteral("[App]\nParolasi=") + values.value(QStringLiteral("Parolasi")) + u'\n';
    writeIni(ini.toUtf8());

    LookRig w;
    w.sheet.setFontSize(20);
    w.wordMode.setValue(2);
    LogCapture err;
    w.load();
    const QString said = err.text();
    QCOMPARE(said.count(u'\n'), 1);
    QVERIFY2(said.contains(key), qPrintable(said));
    // A number outside the key's range is told apart from a text that is none.
    QVERIFY2(said.contains(fault), qPrintable(said));
    verifyLook(w, expected);
}

void TestSettingsFile::unreadableFile()
{
    // Mode 0000: Esc names every value as not read; a save says what it
    // replaces before it does. Root reads such a file all the same, and then
    // it is a good file like any other.
    const bool root = ::geteuid() == 0;
    writeIni("[Screen]\nCirc=70\n[Other]\nkey=1\n");
    QVERIFY(QFile(iniPath()).setPermissions({}));
    LookRig w;
    w.sheet.setFontSize(20);
    LogCapture loadErr;
    w.load();
    const QString loadSaid = loadErr.text();
    QCOMPARE(w.corner, qint16(root ? 70 : 0));
    QCOMPARE(w.sheet.fontSize(), 48.0);
    QCOMPARE(loadSaid.contains(QStringLiteral("settings not read")), !root);
    for (const QString& key : kLookKeys)
        QVERIFY2(root || loadSaid.contains(key + QStringLiteral(" not read")), qPrintable(loadSaid));

    w.corner = 30;
    LogCapture saveErr;
    w.save();
    const QString saveSaid = saveErr.text();
    QCOMPARE(saveSaid.startsWith(QStringLiteral("quillo: replacing an unreadable settings file")), !root);
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));
    QCOMPARE(iniLines().contains(QStringLiteral("key=1")), root);
    QVERIFY(QFileInfo(iniPath()).isReadable());
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strncmp(argv[1], "--child-", 8) == 0)
        return childMain(argc, argv, argv[1]);
    // The settings path is fixed at the first use of the store.
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_file.moc"
