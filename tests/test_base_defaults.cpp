// Alt+F1: the built-in look, the typing sound on and the word controls
// shown, leaving the corners and the stored settings alone.
#include "commands/window_commands.h"
#include "support/stored_settings.h"

#include <QApplication>
#include <QSettings>
#include <QtTest>

using namespace quillo::test;

namespace {

void verifyBaseAppearance(const LookRig& w)
{
    QCOMPARE(w.SoundOff, qint16(0));
    QCOMPARE(w.sheet.fontName(), QStringLiteral("Arial"));
    QCOMPARE(w.sheet.fontSize(), 48.0);
    QVERIFY(w.sheet.font().bold());
    QCOMPARE(w.sheet.backColor(), 16777215);
    QCOMPARE(w.sheet.foreColor(), 0);
    QCOMPARE(w.wordMode.value(), 1);
    QVERIFY(w.word.isVisibleTo(&w.box));
    QVERIFY(w.picture.isVisibleTo(&w.box));
    QVERIFY(w.wordMode.isVisibleTo(&w.box));
}

}  // namespace

class TestBaseDefaults : public QObject {
    Q_OBJECT

private slots:
    void init() { removeConfigFolder(); }

    void undoesTheOtherCommands();
    void leavesCornersAndStoreAlone();
    void thenSaveStoresTheBaseAppearance();
};

void TestBaseDefaults::undoesTheOtherCommands()
{
    LookRig w;
    w.SoundOff = -1;
    w.word.hide();
    w.picture.hide();
    w.wordMode.hide();
    w.wordMode.setValue(0);
    w.sheet.setFontName(QStringLiteral("DejaVu Serif"));
    w.sheet.setFontSize(20);
    w.sheet.setBackColor(0x123456);
    w.sheet.setForeColor(0x654321);
    w.sheet.setPlainText(QStringLiteral("ciao"));

    quillo::applyBaseAppearance(w.appearance());

    verifyBaseAppearance(w);
    QCOMPARE(w.sheet.toPlainText(), QStringLiteral("ciao"));
    QCOMPARE(w.sheet.palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(w.sheet.palette().color(QPalette::Text), QColor(0, 0, 0));

    // From the greyed word mode too.
    w.wordMode.setValue(2);
    quillo::applyBaseAppearance(w.appearance());
    QCOMPARE(w.wordMode.value(), 1);
}

void TestBaseDefaults::leavesCornersAndStoreAlone()
{
    LookRig w;
    w.sheet.setFontName(QStringLiteral("DejaVu Serif"));
    w.sheet.setFontSize(30);
    w.sheet.setBackColor(255);
    w.sheet.setForeColor(65280);
    w.wordMode.setValue(0);
    w.corner = 70;
    w.save();
    const QByteArray stored = readIni();
    QVERIFY(stored.contains("Circ=70"));

    w.corner = 40;
    quillo::nextCornerStep(w.parts().corners);  // 50, and both outlines follow
    const QRegion sheetOutline = w.sheet.mask();
    const QRegion wordOutline = w.word.mask();
    w.corner = 60;  // not yet cut: Alt+F1 does not cut it either

    quillo::applyBaseAppearance(w.appearance());

    verifyBaseAppearance(w);
    QCOMPARE(w.corner, qint16(60));
    QCOMPARE(w.sheet.mask(), sheetOutline);
    QCOMPARE(w.word.mask(), wordOutline);
    QCOMPARE(readIni(), stored);

    // Esc brings back what was saved.
    quillo::applyStoredAppearance(w.appearance(), w.store);
    verifyLook(w, {QStringLiteral("DejaVu Serif"), 30, 255, 65280, 70, 0});
}

void TestBaseDefaults::thenSaveStoresTheBaseAppearance()
{
    LookRig w;
    w.sheet.setFontName(QStringLiteral("DejaVu Serif"));
    w.sheet.setFontSize(20);
    w.wordMode.setValue(0);
    w.corner = 130;

    quillo::applyBaseAppearance(w.appearance());
    w.save();

    QSettings stored(iniPath(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Screen/Fontname")).toString(), QStringLiteral("Arial"));
    QCOMPARE(stored.value(QStringLiteral("Screen/Fontsize")).toString(), QStringLiteral("48"));
    QCOMPARE(stored.value(QStringLiteral("Screen/Backcolor")).toString(), QStringLiteral("16777215"));
    QCOMPARE(stored.value(QStringLiteral("Screen/Forecolor")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("Screen/Circ")).toString(), QStringLiteral("130"));
    QCOMPARE(stored.value(QStringLiteral("App/Parolasi")).toString(), QStringLiteral("1"));
}

int main(int argc, char** argv)
{
    // The settings path is fixed at the first use of the store.
    TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestBaseDefaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_base_defaults.moc"
