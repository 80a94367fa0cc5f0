// Alt+F1: the built-in appearance on the window, leaving the corners and the
// stored settings alone.
#include "app/parla.h"
#include "form/key_codes.h"
#include "platform/settings_file/settings_store.h"
#include "support/started_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

using quillo::Parla;
using quillo::test::StartedWindow;

namespace {

using namespace quillo::vk;
constexpr qint16 kAlt = quillo::kAltBit;
constexpr qint16 kEsc = kEscape;

QByteArray storedBytes()
{
    QFile file(quillo::SettingsStore::filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void verifyBaseAppearance(const Parla& form)
{
    QCOMPARE(form.SoundOff, qint16(0));
    QCOMPARE(form.scrivo->fontName(), QStringLiteral("Arial"));
    QCOMPARE(form.scrivo->fontSize(), 48.0);
    QVERIFY(form.scrivo->font().bold());
    QCOMPARE(form.scrivo->backColor(), 16777215);
    QCOMPARE(form.scrivo->foreColor(), 0);
    QCOMPARE(form.Parolasi->value(), 1);
    QVERIFY(form.esempio->isVisibleTo(&form));
    QVERIFY(form.esempiopix->isVisibleTo(&form));
    QVERIFY(form.Parolasi->isVisibleTo(&form));
}

}  // namespace

class TestBaseDefaults : public QObject {
    Q_OBJECT

private slots:
    void init() { QDir(QFileInfo(quillo::SettingsStore::filePath()).absolutePath()).removeRecursively(); }

    void undoesTheOtherCommands();
    void leavesCornersAndStoreAlone();
    void thenSaveStoresTheBaseAppearance();
};

void TestBaseDefaults::undoesTheOtherCommands()
{
    StartedWindow w;
    Parla& form = w.form;
    w.key(kF11);
    w.key(kF9);
    w.key(kF10);
    QCOMPARE(form.SoundOff, qint16(-1));
    QVERIFY(!form.esempio->isVisibleTo(&form));
    QCOMPARE(form.Parolasi->value(), 0);
    form.scrivo->setFontName(QStringLiteral("DejaVu Serif"));
    form.scrivo->setFontSize(20);
    form.scrivo->setBackColor(0x123456);
    form.scrivo->setForeColor(0x654321);
    form.scrivo->setPlainText(QStringLiteral("ciao"));

    w.key(kF1, kAlt | quillo::kShiftBit | quillo::kCtrlBit);

    verifyBaseAppearance(form);
    QVERIFY(w.fake.messages->shown.isEmpty());
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("ciao"));
    QCOMPARE(form.scrivo->palette().color(QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(form.scrivo->palette().color(QPalette::Text), QColor(0, 0, 0));

    // From the greyed word mode too; and with the sheet reached by a real key.
    form.Parolasi->setValue(2);
    QTest::keyClick(form.scrivo, Qt::Key_F1, Qt::AltModifier);
    QCOMPARE(form.Parolasi->value(), 1);
    QVERIFY(w.fake.messages->shown.isEmpty());
}

void TestBaseDefaults::leavesCornersAndStoreAlone()
{
    StartedWindow w;
    Parla& form = w.form;
    form.scrivo->setFontName(QStringLiteral("DejaVu Serif"));
    form.scrivo->setFontSize(30);
    form.scrivo->setBackColor(255);
    form.scrivo->setForeColor(65280);
    form.Parolasi->setValue(0);
    form.CornerRadius = 70;
    w.key(kF2, kAlt);
    const QByteArray stored = storedBytes();
    QVERIFY(stored.contains("Circ=70"));

    form.CornerRadius = 40;
    w.key(kF4);  // 50, and both outlines follow
    const QRegion sheetOutline = form.scrivo->mask();
    const QRegion wordOutline = form.esempio->mask();

    w.key(kF1, kAlt);

    verifyBaseAppearance(form);
    QCOMPARE(form.CornerRadius, qint16(50));
    QCOMPARE(form.scrivo->mask(), sheetOutline);
    QCOMPARE(form.esempio->mask(), wordOutline);
    QCOMPARE(storedBytes(), stored);

    // Esc brings back what was saved.
    w.key(kEsc);
    QCOMPARE(form.scrivo->fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(form.scrivo->fontSize(), 30.0);
    QCOMPARE(form.scrivo->backColor(), 255);
    QCOMPARE(form.scrivo->foreColor(), 65280);
    QCOMPARE(form.Parolasi->value(), 0);
    QCOMPARE(form.CornerRadius, qint16(70));
}

void TestBaseDefaults::thenSaveStoresTheBaseAppearance()
{
    StartedWindow w;
    Parla& form = w.form;
    form.scrivo->setFontName(QStringLiteral("DejaVu Serif"));
    form.scrivo->setFontSize(20);
    form.Parolasi->setValue(0);
    form.CornerRadius = 130;

    w.key(kF1, kAlt);
    w.key(kF2, kAlt);

    QSettings stored(quillo::SettingsStore::filePath(), QSettings::IniFormat);
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
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestBaseDefaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_base_defaults.moc"
