// Alt+F2 stores the appearance in the per-user settings file; Esc reads it
// back. Runs on the real settings store in a temporary config folder.
#include "app/parla.h"
#include "commands/key_dispatcher.h"
#include "app/startup.h"
#include "form/rounded_region.h"
#include "platform/files/ini_lines.h"
#include "platform/files/save_target.h"
#include "platform/files/settings_store.h"
#include "settings/setting_values.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"
#include "support/started_window.h"
#include "support/log_capture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>

using quillo::Parla;
using quillo::test::FakePlatform;
using quillo::test::MediaFolder;
using quillo::test::StartedWindow;
using quillo::test::LogCapture;

namespace {

constexpr qint16 kAlt = 4;
constexpr qint16 kEsc = 27, kF2 = 113, kF4 = 115;
constexpr qint32 kSystemBack = -2147483643;  // 0x80000005
constexpr qint32 kSystemText = -2147483640;  // 0x80000008

QString iniPath() { return quillo::SettingsStore::filePath(); }
QString configFolder() { return QFileInfo(iniPath()).absolutePath(); }

QByteArray readIni()
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeIni(const QByteArray& text)
{
    QDir().mkpath(configFolder());
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the test settings file");
    file.write(text);
}

// The lines of the stored file, for exact comparisons of stored texts.
QStringList iniLines() { return QString::fromUtf8(readIni()).split(u'\n', Qt::SkipEmptyParts); }

QRegion outline(const QWidget* control, int corner)
{
    return quillo::roundedRectRegion(control->width(), control->height(), corner, corner);
}

struct Appearance {
    QString font;
    double size;
    qint32 back;
    qint32 fore;
    qint16 corner;
    int wordMode;
};

Appearance appearanceOf(const Parla& form)
{
    return {form.scrivo->fontName(), form.scrivo->fontSize(), form.scrivo->backColor(),
            form.scrivo->foreColor(), form.CornerRadius, form.Parolasi->value()};
}

void verifyAppearance(const Parla& form, const Appearance& expected)
{
    const Appearance got = appearanceOf(form);
    QCOMPARE(got.font, expected.font);
    QCOMPARE(got.size, expected.size);
    QCOMPARE(got.back, expected.back);
    QCOMPARE(got.fore, expected.fore);
    QCOMPARE(got.corner, expected.corner);
    QCOMPARE(got.wordMode, expected.wordMode);
    QCOMPARE(form.scrivo->mask(), outline(form.scrivo, expected.corner));
    QCOMPARE(form.esempio->mask(), outline(form.esempio, expected.corner));
}

const Appearance kDefaults{QStringLiteral("Arial"), 48, 16777215, 0, 0, 1};

// The second process: starts a window, presses Esc and prints what it got;
// or sets an appearance and presses Alt+F2.
int childMain(int argc, char** argv, const char* mode)
{
    QApplication app(argc, argv);
    MediaFolder media;
    media.addBasics();
    FakePlatform fake(media.path());
    Parla form(fake.platform);
    Form_Load(form);
    if (std::strcmp(mode, "--child-load") == 0) {
        scrivo_KeyDown(form, kEsc, 0);
        const Appearance a = appearanceOf(form);
        const bool masks = form.scrivo->mask() == outline(form.scrivo, a.corner)
                           && form.esempio->mask() == outline(form.esempio, a.corner);
        std::printf("%s|%s|%d|%d|%d|%d|%d\n", qPrintable(a.font), qPrintable(quillo::formatFontSize(a.size)),
                    int(a.back), int(a.fore), int(a.corner), a.wordMode, int(masks));
        return 0;
    }
    form.scrivo->setFontName(QStringLiteral("DejaVu Sans Mono"));
    form.scrivo->setFontSize(21);
    form.scrivo->setBackColor(0x00FFEE);
    form.scrivo->setForeColor(0x112233);
    form.CornerRadius = 90;
    form.Parolasi->setValue(2);
    scrivo_KeyDown(form, kF2, kAlt);
    return fake.sound->names() == QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")} ? 0 : 1;
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

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();

    void saveBeforeAnyColourChange();
    void fontSizeTexts();
    void loadWithEmptyStore();
    void onlyCornerStored();
    void cornerValuesAppliedUnchanged();
    void systemColourRoundTrip();
    void nothingCachedBetweenProcesses();
    void unusableValues_data();
    void unusableValues();
    void folderCannotBeCreated();
    void damagedFile_data();
    void damagedFile();
    void goodFileKeepsOtherSections();
    void unreadableFile();
    void iniLineRules_data();
    void iniLineRules();
    void fileCannotBeWritten();
    void notARegularFile();
    void linkTargets_data();
    void linkTargets();
    void linkChangedBeforeRename();
};

void TestSettings::init()
{
    const QFileInfo folder(configFolder());
    if (folder.isDir())
        QDir(folder.absoluteFilePath()).removeRecursively();
    else if (folder.exists())
        QFile::remove(folder.absoluteFilePath());
}

void TestSettings::saveBeforeAnyColourChange()
{
    QVERIFY(iniPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
    QVERIFY(iniPath().endsWith(QStringLiteral("/QuilloNuvi/QuilloNuvi.ini")));

    StartedWindow w;
    w.form.SoundOff = -1;  // the confirmation is heard with the typing sound off too
    w.key(kF2, kAlt | 1 | 2);
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));

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

void TestSettings::fontSizeTexts()
{
    using quillo::formatFontSize;
    using quillo::parseFontSize;
    QCOMPARE(formatFontSize(48), QStringLiteral("48"));
    QCOMPARE(formatFontSize(43.5), QStringLiteral("43.5"));
    QCOMPARE(formatFontSize(8.25), QStringLiteral("8.25"));
    QCOMPARE(formatFontSize(100), QStringLiteral("100"));
    QCOMPARE(parseFontSize(QStringLiteral("43,5")), std::optional<double>(43.5));
    QCOMPARE(parseFontSize(QStringLiteral(" 43.5 ")), std::optional<double>(43.5));

    StartedWindow w;
    w.form.scrivo->setFontSize(43.5);
    QCOMPARE(w.form.scrivo->fontSize(), 43.5);
    w.key(kF2, kAlt);
    QVERIFY2(iniLines().contains(QStringLiteral("Fontsize=43.5")), readIni().constData());

    // A comma as decimal mark, as typed by hand, with or without quotes.
    for (const QByteArray& line : {QByteArray("Fontsize=43,5"), QByteArray("Fontsize=\"43,5\"")}) {
        writeIni("[Screen]\n" + line + "\n");
        w.form.scrivo->setFontSize(20);
        LogCapture err;
        w.key(kEsc);
        QVERIFY2(!err.text().contains(QStringLiteral("Fontsize")), qPrintable(err.text()));
        QCOMPARE(w.form.scrivo->fontSize(), 43.5);
    }
}

void TestSettings::loadWithEmptyStore()
{
    StartedWindow w;
    Parla& form = w.form;
    form.scrivo->setFontName(QStringLiteral("DejaVu Serif"));
    form.scrivo->setFontSize(20);
    form.scrivo->setBackColor(0x123456);
    form.scrivo->setForeColor(0x654321);
    form.Parolasi->setValue(0);
    form.CornerRadius = 40;
    w.key(kF4);  // outlines cut at 50
    QCOMPARE(form.scrivo->mask(), outline(form.scrivo, 50));

    LogCapture err;
    w.key(kEsc);
    QCOMPARE(err.text(), QString());  // an absent key is no problem
    verifyAppearance(form, kDefaults);
    QVERIFY(!QFileInfo::exists(iniPath()));  // reading creates nothing
}

void TestSettings::onlyCornerStored()
{
    writeIni("[Screen]\nCirc=60\n");
    StartedWindow w;
    w.form.scrivo->setFontSize(20);
    w.form.Parolasi->setValue(0);
    LogCapture err;
    w.key(kEsc);
    Appearance expected = kDefaults;
    expected.corner = 60;
    verifyAppearance(w.form, expected);
    // Each key that fell back is named once, with its section.
    const QStringList said = err.text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(said.size(), 5);
    for (const char* key : {"Screen/Fontname", "Screen/Fontsize", "Screen/Backcolor", "Screen/Forecolor", "App/Parolasi"})
        QVERIFY2(said.filter(QString::fromLatin1(key) + QStringLiteral(" missing")).size() == 1, key);
}

void TestSettings::cornerValuesAppliedUnchanged()
{
    StartedWindow w;
    for (int corner : {35, 500, 0, -20}) {
        writeIni(QStringLiteral("[Screen]\nCirc=%1\n").arg(corner).toUtf8());
        w.key(kEsc);
        QCOMPARE(int(w.form.CornerRadius), corner);
        QCOMPARE(w.form.scrivo->mask(), outline(w.form.scrivo, corner));
        QCOMPARE(w.form.esempio->mask(), outline(w.form.esempio, corner));
    }
}

void TestSettings::systemColourRoundTrip()
{
    StartedWindow w;
    QCOMPARE(w.form.scrivo->backColor(), kSystemBack);
    QCOMPARE(w.form.scrivo->foreColor(), kSystemText);
    w.key(kF2, kAlt);
    w.form.scrivo->setBackColor(0x123456);
    w.form.scrivo->setForeColor(0x654321);
    w.key(kEsc);
    QCOMPARE(w.form.scrivo->backColor(), kSystemBack);
    QCOMPARE(w.form.scrivo->foreColor(), kSystemText);
    // And the sheet shows the system's colours.
    QCOMPARE(w.form.scrivo->palette().color(QPalette::Base),
             QApplication::palette(w.form.scrivo).color(QPalette::Active, QPalette::Base));
}

void TestSettings::nothingCachedBetweenProcesses()
{
    // Saved here, loaded in a fresh process.
    {
        StartedWindow w;
        w.form.scrivo->setFontName(QStringLiteral("DejaVu Serif"));
        w.form.scrivo->setFontSize(43.5);
        w.form.scrivo->setBackColor(0x123456);
        w.form.scrivo->setForeColor(0xABCDEF);
        w.form.CornerRadius = 70;
        w.form.Parolasi->setValue(0);
        w.key(kF2, kAlt);
    }
    QCOMPARE(runChild("--child-load"), QStringLiteral("DejaVu Serif|43.5|1193046|11259375|70|0|1"));

    // Saved in a fresh process, loaded here by a window that read the file before.
    StartedWindow w;
    w.key(kEsc);
    QCOMPARE(w.form.CornerRadius, qint16(70));
    QCOMPARE(runChild("--child-save"), QString());
    w.key(kEsc);
    verifyAppearance(w.form, {QStringLiteral("DejaVu Sans Mono"), 21.0, 0x00FFEE, 0x112233, 90, 2});
}

void TestSettings::unusableValues_data()
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

void TestSettings::unusableValues()
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
    Appearance expected{QStringLiteral("DejaVu Serif"), 30, 255, 65280, 60, 0};
    values[key] = text;
    if (key == QStringLiteral("Fontname"))
        expected.font = kDefaults.font;
    else if (key == QStringLiteral("Fontsize"))
        expected.size = kDefaults.size;
    else if (key == QStringLiteral("Backcolor"))
        expected.back = kDefaults.back;
    else if (key == QStringLiteral("Forecolor"))
        expected.fore = kDefaults.fore;
    else if (key == QStringLiteral("Circ"))
        expected.corner = kDefaults.corner;
    else
        expected.wordMode = kDefaults.wordMode;

    QString ini = QStringLiteral("[Screen]\n");
    for (const char* k : {"Fontname", "Fontsize", "Backcolor", "Forecolor", "Circ"})
        ini += QString::fromLatin1(k) + u'=' + values.value(QString::fromLatin1(k)) + u'\n';
    ini += QStringLiteral("[App]\nParolasi=") + values.value(QStringLiteral("Parolasi")) + u'\n';
    writeIni(ini.toUtf8());

    StartedWindow w;
    w.form.scrivo->setFontSize(20);
    w.form.Parolasi->setValue(2);
    LogCapture err;
    w.key(kEsc);
    const QString said = err.text();
    QCOMPARE(said.count(u'\n'), 1);
    QVERIFY2(said.contains(key), qPrintable(said));
    // A number outside the key's range is told apart from a text that is none.
    QVERIFY2(said.contains(fault), qPrintable(said));
    verifyAppearance(w.form, expected);
}

void TestSettings::folderCannotBeCreated()
{
    // Where the settings folder should be there is a file: nothing can be stored.
    const QByteArray blocker = "not a folder\n";
    {
        QFile file(configFolder());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(blocker);
    }
    {
        QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QuilloNuvi"),
                        QStringLiteral("QuilloNuvi"));
        probe.setValue(QStringLiteral("Screen/Circ"), QStringLiteral("1"));
        probe.sync();
        QCOMPARE(probe.status(), QSettings::AccessError);
    }

    StartedWindow w;
    LogCapture err;
    w.key(kF2, kAlt);
    const QString said = err.text();
    QCOMPARE(w.fake.sound->names(), QStringList{QStringLiteral("<default>")});
    QVERIFY2(said.contains(QStringLiteral("not saved")) && said.contains(iniPath()), qPrintable(said));

    QFile file(configFolder());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), blocker);

    // Loading still works, with the defaults.
    w.form.scrivo->setFontSize(20);
    w.key(kEsc);
    verifyAppearance(w.form, kDefaults);
}

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

const QStringList kLookKeys{QStringLiteral("Screen/Fontname"), QStringLiteral("Screen/Fontsize"),
                            QStringLiteral("Screen/Backcolor"), QStringLiteral("Screen/Forecolor"),
                            QStringLiteral("Screen/Circ"), QStringLiteral("App/Parolasi")};

}  // namespace

void TestSettings::damagedFile_data()
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

void TestSettings::damagedFile()
{
    // Esc reads what it can and names every value it did not take from the
    // file; the next save leaves the six keys and nothing else.
    QFETCH(QByteArray, file);
    QFETCH(int, corner);
    QFETCH(int, wordMode);
    writeIni(file);
    StartedWindow w;
    w.form.Parolasi->setValue(2);
    LogCapture loadErr;
    w.key(kEsc);
    const QString loadSaid = loadErr.text();
    QVERIFY2(loadSaid.contains(QStringLiteral("damaged")), qPrintable(loadSaid));
    QCOMPARE(int(w.form.CornerRadius), corner);
    if (wordMode >= 0)
        QCOMPARE(w.form.Parolasi->value(), wordMode);
    const QMap<QString, bool> fromFile{{QStringLiteral("Screen/Circ"), true},
                                       {QStringLiteral("App/Parolasi"), wordMode >= 0}};
    for (const QString& key : kLookKeys) {
        const bool named = loadSaid.contains(key + u' ');
        QVERIFY2(named != fromFile.value(key), qPrintable(key + QStringLiteral(": ") + loadSaid.left(2000)));
    }

    w.form.CornerRadius = 30;
    LogCapture saveErr;
    w.key(kF2, kAlt);
    const QString saveSaid = saveErr.text();
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY2(saveSaid.startsWith(QStringLiteral("quillo: replacing a damaged settings file")), qPrintable(saveSaid));
    QStringList lines = iniLines();
    lines.sort();
    QCOMPARE(lines, (QStringList{QStringLiteral("Backcolor=16777215"), QStringLiteral("Circ=30"),
                                 QStringLiteral("Fontname=Arial"), QStringLiteral("Fontsize=48"),
                                 QStringLiteral("Forecolor=0"),
                                 QStringLiteral("Parolasi=%1").arg(wordMode >= 0 ? wordMode : 1),
                                 QStringLiteral("[App]"), QStringLiteral("[Screen]")}));

    w.form.CornerRadius = 5;
    LogCapture again;
    w.key(kEsc);
    QCOMPARE(again.text(), QString());
    QCOMPARE(w.form.CornerRadius, qint16(30));
}

void TestSettings::goodFileKeepsOtherSections()
{
    // A file that parses cleanly keeps the keys of other programs' sections
    // (not an empty value's @Invalid()); the two sections of the look hold
    // its six keys and nothing else.
    writeIni("; a comment\n[Other]\nkey=\"a, b\"\nempty=@Invalid()\n[Screen]\nCirc=70\nExtra=1\n");
    StartedWindow w;
    LogCapture err;
    w.key(kF2, kAlt);
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

void TestSettings::unreadableFile()
{
    // Mode 0000: Esc names every value as not read; a save says what it
    // replaces before it does. Root reads such a file all the same, and then
    // it is a good file like any other.
    const bool root = ::geteuid() == 0;
    writeIni("[Screen]\nCirc=70\n[Other]\nkey=1\n");
    QVERIFY(QFile(iniPath()).setPermissions({}));
    StartedWindow w;
    w.form.scrivo->setFontSize(20);
    LogCapture loadErr;
    w.key(kEsc);
    const QString loadSaid = loadErr.text();
    QCOMPARE(w.form.CornerRadius, qint16(root ? 70 : 0));
    QCOMPARE(w.form.scrivo->fontSize(), 48.0);
    QCOMPARE(loadSaid.contains(QStringLiteral("settings not read")), !root);
    for (const QString& key : kLookKeys)
        QVERIFY2(root || loadSaid.contains(key + QStringLiteral(" not read")), qPrintable(loadSaid));

    w.form.CornerRadius = 30;
    LogCapture saveErr;
    w.key(kF2, kAlt);
    const QString saveSaid = saveErr.text();
    QCOMPARE(saveSaid.startsWith(QStringLiteral("quillo: replacing an unreadable settings file")), !root);
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));
    QCOMPARE(iniLines().contains(QStringLiteral("key=1")), root);
    QVERIFY(QFileInfo(iniPath()).isReadable());
}

void TestSettings::iniLineRules_data()
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

void TestSettings::iniLineRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, kept);
    const quillo::IniLines lines = quillo::iniLines("[Screen]\r\n" + line + "\nCirc=1\n");
    QCOMPARE(lines.kept, "[Screen]\n" + kept + "Circ=1\n\n");
    const bool clean = kept == line + '\n';
    QCOMPARE(lines.leftOut, clean ? 0 : 1);
    QCOMPARE(lines.firstLeftOut, clean ? 0 : 2);
}

void TestSettings::fileCannotBeWritten()
{
    // A first save, then the disk refuses to grow any file (as root ignores
    // permissions, a file size limit stands in for a read-only folder).
    StartedWindow w;
    w.form.CornerRadius = 30;
    w.key(kF2, kAlt);
    const QByteArray before = readIni();
    QVERIFY(before.contains("Circ=30"));
    const QStringList filesBefore = QDir(configFolder()).entryList(QDir::Files | QDir::Hidden);
    w.fake.sound->played.clear();

    w.form.CornerRadius = 120;
    w.form.scrivo->setBackColor(0x00FF00);
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = saved;
    none.rlim_cur = 0;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &none), 0);
    QString said;
    Appearance loadedMeanwhile;
    {
        LogCapture err;
        w.key(kF2, kAlt);
        // Loading while the disk still refuses gives the stored values, not
        // the ones that could not be saved.
        w.key(kEsc);
        loadedMeanwhile = appearanceOf(w.form);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        said = err.text();
    }

    QCOMPARE(w.fake.sound->names(), QStringList{QStringLiteral("<default>")});
    QVERIFY2(said.contains(QStringLiteral("cannot write")), qPrintable(said));
    QCOMPARE(said.count(u'\n'), 1);
    QCOMPARE(loadedMeanwhile.corner, qint16(30));
    QCOMPARE(loadedMeanwhile.back, kSystemBack);
    QCOMPARE(readIni(), before);
    QCOMPARE(QDir(configFolder()).entryList(QDir::Files | QDir::Hidden), filesBefore);

    // Once the disk takes writes again, the old values are still the stored ones.
    w.form.CornerRadius = 120;
    w.key(kEsc);
    QCOMPARE(w.form.CornerRadius, qint16(30));
    QCOMPARE(w.form.scrivo->backColor(), kSystemBack);
    QCOMPARE(readIni(), before);
    w.key(kF2, kAlt);
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("<default>"), QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
}

void TestSettings::notARegularFile()
{
    // A FIFO would block QSettings for ever and a huge file is not ours: both
    // load as defaults at once, and a save puts a good file in their place.
    QDir().mkpath(configFolder());
    QVERIFY(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600) == 0);
    StartedWindow w;
    QElapsedTimer clock;
    clock.start();
    {
        LogCapture err;
        w.form.scrivo->setFontSize(20);
        w.key(kEsc);
        QVERIFY2(err.text().contains(QStringLiteral("not a regular file")), qPrintable(err.text()));
    }
    verifyAppearance(w.form, kDefaults);
    w.form.CornerRadius = 30;
    {
        LogCapture err;
        w.key(kF2, kAlt);
        QVERIFY2(err.text().startsWith(QStringLiteral("quillo: replacing an unreadable settings file")),
                 qPrintable(err.text()));
    }
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(QFileInfo(iniPath()).isFile());
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));

    {
        QFile big(iniPath());
        QVERIFY(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
        big.write("[Screen]\nCirc=70\n");
        QVERIFY(big.resize(2 * 1024 * 1024));  // sparse
    }
    LogCapture err;
    w.key(kEsc);
    QVERIFY2(err.text().contains(QStringLiteral("larger than 1 MB")), qPrintable(err.text()));
    verifyAppearance(w.form, kDefaults);
}

namespace {

// What a node is, for checking that a save left it alone: its type, its
// inode, its device numbers, and what it holds (a regular file's bytes, a
// link's target, a folder's names).
struct Node {
    mode_t type = 0;
    ino_t inode = 0;
    dev_t rdev = 0;
    QString holds;

    static Node of(const QString& path)
    {
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
            return {};
        Node node{status.st_mode & S_IFMT, status.st_ino, status.st_rdev, {}};
        if (S_ISREG(status.st_mode)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                node.holds = QString::fromUtf8(file.readAll());
        } else if (S_ISLNK(status.st_mode)) {
            node.holds = QFile::symLinkTarget(path);
        } else if (S_ISDIR(status.st_mode)) {
            node.holds = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).join(u'|');
        }
        return node;
    }
    bool operator==(const Node&) const = default;
};

}  // namespace

void TestSettings::linkTargets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");  // "" when the save writes through the link

    QTest::newRow("regular file") << "regular" << "";
    QTest::newRow("character device") << "device" << "a character device";
    QTest::newRow("FIFO") << "fifo" << "a FIFO";
    QTest::newRow("dangling link") << "dangling" << "leads to nothing";
    QTest::newRow("link loop") << "loop" << "loop";
    QTest::newRow("folder") << "folder" << "a folder";
    QTest::newRow("another user's file") << "foreign" << "another user";
}

void TestSettings::linkTargets()
{
    // The settings file is a link into a folder of the test's own. A save
    // writes through it only to a regular file of the user's; anything else
    // it leads to stays exactly as it was and the link becomes a file.
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("quillo.ini"));
    const QByteArray native = QFile::encodeName(target);
    const QByteArray good = "[Screen]\nCirc=70\n";
    if (kind == u"regular" || kind == u"foreign") {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(good);
        file.close();
        const uid_t other = ::geteuid() == 0 ? 65534 : 0;
        // A QSKIP would count the whole test as skipped: the row just ends.
        if (kind == u"foreign" && ::chown(native.constData(), other, gid_t(-1)) != 0) {
            qInfo("giving a file to another user needs root: nothing to check");
            return;
        }
    } else if (kind == u"device") {
        if (::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            qInfo("making a device node needs root: nothing to check");
            return;
        }
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (kind == u"loop") {
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("other")), target));
        QVERIFY(QFile::link(target, elsewhere.filePath(QStringLiteral("other"))));
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkpath(target));
        QFile inside(target + QStringLiteral("/kept"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
    }
    const Node before = Node::of(target);
    QDir().mkpath(configFolder());
    QVERIFY(QFile::link(target, iniPath()));

    StartedWindow w;
    w.form.CornerRadius = 30;
    LogCapture err;
    w.key(kF2, kAlt);
    const QString said = err.text();
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));
    QCOMPARE(QDir(configFolder()).entryList(QDir::Files | QDir::System | QDir::Hidden),
             QStringList{QStringLiteral("QuilloNuvi.ini")});
    if (reason.isEmpty()) {
        QCOMPARE(said, QString());
        QCOMPARE(QFileInfo(iniPath()).symLinkTarget(), target);
        QCOMPARE(Node::of(target).type, mode_t(S_IFREG));
        return;
    }
    QVERIFY(Node::of(target) == before);
    QVERIFY(!QFileInfo(iniPath()).isSymLink());
    QVERIFY2(said.contains(QStringLiteral("replacing the link ") + iniPath()) && said.contains(reason),
             qPrintable(said));
    if (kind == u"dangling")
        QVERIFY(!QFileInfo::exists(target) && !QFileInfo(target).isSymLink());
}

void TestSettings::linkChangedBeforeRename()
{
    // The file a link led to when the save began is a FIFO by the time of the
    // rename: the rename is refused and the FIFO stays.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("quillo.ini"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = elsewhere.filePath(QStringLiteral("link.ini"));
    QVERIFY(QFile::link(target, link));
    const quillo::SaveTarget found = quillo::saveTargetOf(link);
    QVERIFY(found.throughLink);
    QCOMPARE(found.path, target);

    QVERIFY(QFile::remove(target));
    QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    const QString staged = target + QStringLiteral(".new");
    QFile stagedFile(staged);
    QVERIFY(stagedFile.open(QIODevice::WriteOnly));
    stagedFile.close();
    QString why;
    QVERIFY(!quillo::renameOnto(staged, found, &why));
    QVERIFY2(why.contains(QStringLiteral("no longer a regular file")), qPrintable(why));
    QCOMPARE(Node::of(target).type, mode_t(S_IFIFO));
    QVERIFY(QFileInfo::exists(staged));
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strncmp(argv[1], "--child-", 8) == 0)
        return childMain(argc, argv, argv[1]);
    // The settings path is fixed at the first use of the store.
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings.moc"
