// A child mashing keys for a long time while an adult reshuffles the media
// folder and the settings file underneath: the window must keep working,
// never lose what was typed, and not grow.
//
// QUILLO_SOAK_KEYS sets the number of keys (10,000 by default; 100,000 for
// the long run).

#include "app/parla.h"
#include "app/startup.h"
#include "commands/window_commands.h"
#include "platform/desktop/message_box.h"
#include "settings/setting_values.h"
#include "support/process_memory.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) && !defined(__SANITIZE_ADDRESS__)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif

using namespace quillo;

namespace {

struct Key {
    int qtKey;
    QString text;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

class FaultInjector {
public:
    FaultInjector(test::MediaFolder& media, QString configHome, QRandomGenerator& random)
        : media_(media), config_(std::move(configHome)), random_(random)
    {
    }

    void strike()
    {
        switch (random_.bounded(10)) {
        case 0: toggle(QStringLiteral("alfabeto/") + pick({"a.wav", "c.wav", "d.wav", "boh.wav", "e.wav"})); break;
        case 1: toggle(QStringLiteral("immagini/") + pick({"ape.png", "casa.png", "cane.png", "elefante.png"})); break;
        case 2: media_.addFile(QStringLiteral("alfabeto/") + pick({"a.wav", "c.wav", "o.wav"}), "RIFF\x10"); break;
        case 3: media_.addFile(QStringLiteral("immagini/") + pick({"ape.png", "casa.png"}), QByteArray(300, '\x7f')); break;
        case 4: QFile::setPermissions(media_.path() + QStringLiteral("/parole/casa.wav"), QFileDevice::Permissions()); break;
        case 5: swapFolder(QStringLiteral("parole")); break;
        case 6: swapFolder(QStringLiteral("immagini")); break;
        case 7: writeSettings(); break;
        case 8: blockConfigFolder(); break;
        default: restore(); break;
        }
    }

    void restore()
    {
        for (const QString& folder : {QStringLiteral("parole"), QStringLiteral("immagini")}) {
            QDir root(media_.path());
            if (!root.exists(folder))
                root.rename(folder + QStringLiteral(".off"), folder);
        }
        QFile::setPermissions(media_.path() + QStringLiteral("/parole/casa.wav"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        for (const char* letter : {"a.wav", "c.wav", "d.wav", "o.wav", "k.wav", "boh.wav", "e.wav"})
            media_.addLetter(QString::fromLatin1(letter));
        for (const char* picture : {"ape.png", "casa.png", "cane.png", "elefante.png"})
            media_.addPicture(QString::fromLatin1(picture), 24);
        const QString blocked = config_ + QStringLiteral("/QuilloNuvi");
        if (QFileInfo(blocked).isFile())
            QFile::remove(blocked);
    }

private:
    QString pick(std::initializer_list<const char*> names)
    {
        return QString::fromLatin1(*(names.begin() + random_.bounded(int(names.size()))));
    }

    void toggle(const QString& relative)
    {
        const QString path = media_.path() + u'/' + relative;
        if (QFile::exists(path))
            QFile::remove(path);
        else if (relative.endsWith(QLatin1String(".png")))
            media_.addPicture(QFileInfo(relative).fileName(), 24);
        else
            media_.addFile(relative, test::MediaFolder::tinyWav(16));
    }

    void swapFolder(const QString& folder)
    {
        QDir root(media_.path());
        if (root.exists(folder))
            root.rename(folder, folder + QStringLiteral(".off"));
        else
            root.rename(folder + QStringLiteral(".off"), folder);
    }

    void writeSettings()
    {
        static const char* const garbage[] = {"abc", "99999", "-40", "35", "3", "2", "nan", "1e400", "",
                                              "43,5", "-2147483643", "99999999999", "\xc3\xa8\xc3\xa8", "0"};
        const QString file = config_ + QStringLiteral("/QuilloNuvi/QuilloNuvi.ini");
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile ini(file);
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        auto any = [&] { return QByteArray(garbage[random_.bounded(int(std::size(garbage)))]); };
        ini.write("[Screen]\nFontname=" + any() + "\nFontsize=" + any() + "\nBackcolor=" + any()
                  + "\nForecolor=" + any() + "\nCirc=" + any() + "\n[App]\nParolasi=" + any() + "\n");
        if (random_.bounded(4) == 0)
            ini.write("\x00\xff[[[=\n", 7);
    }

    void blockConfigFolder()
    {
        // Tests run as root, for whom permissions are no obstacle: a plain
        // file where the settings folder belongs makes the store unwritable.
        const QString folder = config_ + QStringLiteral("/QuilloNuvi");
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        if (blocker.open(QIODevice::WriteOnly))
            blocker.write("not a folder");
    }

    test::MediaFolder& media_;
    QString config_;
    QRandomGenerator& random_;
};

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void mashingKeysWithFaults();
};

void SoakTest::mashingKeysWithFaults()
{
    const int keys = qEnvironmentVariableIntValue("QUILLO_SOAK_KEYS") > 0
                         ? qEnvironmentVariableIntValue("QUILLO_SOAK_KEYS")
                         : 10000;
    const quint32 seed = quint32(qEnvironmentVariableIntValue("QUILLO_SOAK_SEED")) ^ 0x5eed;
    QRandomGenerator random(seed);

    test::TemporaryConfigHome config;
    test::MediaFolder media;
    media.addBasics();
    FaultInjector faults(media, config.path(), random);
    faults.restore();

    test::FakePlatform fake(media.path());
    fake.sound->keepLog = false;  // a hundred thousand keys' worth would grow the memory watched
    fake.platform.messages = std::make_unique<QtMessageBox>();
    Parla form(fake.platform);
    Form_Load(form);
    form.show();

    // The help box is real and modal: close it as soon as it is up.
    int helpBoxes = 0;
    QTimer closer;
    closer.callOnTimeout([&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++helpBoxes;
            box->accept();
        }
    });
    closer.start(1);

    const QList<Key> typing = {
        {Qt::Key_A, "a"}, {Qt::Key_C, "c"}, {Qt::Key_A, "A", Qt::ShiftModifier}, {Qt::Key_S, "s"},
        {Qt::Key_E, "e"}, {Qt::Key_1, "1"}, {Qt::Key_Exclam, "!", Qt::ShiftModifier}, {Qt::Key_Space, " "},
        {Qt::Key_Asterisk, "*"}, {Qt::Key_Question, "?"}, {Qt::Key_Slash, "/"}, {Qt::Key_Colon, ":"},
        {Qt::Key_Egrave, QStringLiteral("è")}, {Qt::Key_Agrave, QStringLiteral("à")},
        {Qt::Key_Backspace, "\b"}, {Qt::Key_Return, "\r"}, {Qt::Key_Tab, "\t"},
    };
    const QList<Key> commands = {
        {Qt::Key_Escape, "\x1b"}, {Qt::Key_F1, {}}, {Qt::Key_F1, {}, Qt::AltModifier}, {Qt::Key_F2, {}},
        {Qt::Key_F2, {}, Qt::AltModifier}, {Qt::Key_F3, {}}, {Qt::Key_F4, {}}, {Qt::Key_F5, {}},
        {Qt::Key_F6, {}}, {Qt::Key_F7, {}}, {Qt::Key_F8, {}}, {Qt::Key_Down, {}}, {Qt::Key_Up, {}},
        {Qt::Key_F9, {}}, {Qt::Key_F10, {}}, {Qt::Key_F11, {}}, {Qt::Key_F12, {}},
    };

    QString sheet;  // what the sheet must hold
    qint16 corner = form.CornerRadius;
    qint64 residentAtWarmUp = 0;
    const int warmUp = std::min(10000, keys / 5);

    for (int i = 0; i < keys; ++i) {
        if (i % 37 == 0)
            faults.strike();
        const bool command = random.bounded(8) == 0;
        const Key key = command ? commands.at(random.bounded(int(commands.size())))
                                : typing.at(random.bounded(int(typing.size())));

        if (key.qtKey == Qt::Key_Escape) {
            QSettings stored(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QuilloNuvi"),
                             QStringLiteral("QuilloNuvi"));
            corner = parseInt16(stored.value(QStringLiteral("Screen/Circ"), QStringLiteral("0")).toString()).value_or(0);
        } else if (key.qtKey == Qt::Key_F4) {
            corner = nextCornerValue(corner);
        }

        form.scrivo->setFocus();
        QTextCursor cursor = form.scrivo->textCursor();
        const int at = cursor.position();
        if (random.bounded(10) == 0 && key.text.size() == 1 && key.text.at(0).unicode() > 127) {
            // An accented letter from a dead key: only an input-method commit.
            QInputMethodEvent commit;
            commit.setCommitString(key.text);
            QCoreApplication::sendEvent(form.scrivo, &commit);
        } else {
            QKeyEvent press(QEvent::KeyPress, key.qtKey, key.modifiers, key.text);
            QCoreApplication::sendEvent(form.scrivo, &press);
            QKeyEvent release(QEvent::KeyRelease, key.qtKey, key.modifiers, key.text);
            QCoreApplication::sendEvent(form.scrivo, &release);
        }

        // The model of the sheet.
        if (key.qtKey == Qt::Key_F12) {
            sheet.clear();
        } else if (key.qtKey == Qt::Key_Backspace) {
            if (at > 0)
                sheet.remove(at - 1, 1);
        } else if (key.qtKey == Qt::Key_Return) {
            sheet.insert(at, u'\n');
        } else if (!command && key.qtKey != Qt::Key_Tab) {
            sheet.insert(at, key.text);
        }

        QCOMPARE(form.Busy, qint16(0));
        const int selected = form.File1.selectedIndex();
        QVERIFY2(selected == -1 || (selected >= 0 && selected < form.File1.count()),
                 qPrintable(QStringLiteral("key %1: selection %2 of %3").arg(i).arg(selected).arg(form.File1.count())));
        QCOMPARE(form.CornerRadius, corner);
        if (form.scrivo->toPlainText() != sheet)
            QFAIL(qPrintable(QStringLiteral("key %1 (%2): the sheet holds \"%3\", expected \"%4\"")
                                 .arg(i).arg(key.qtKey).arg(form.scrivo->toPlainText().right(40), sheet.right(40))));
        QVERIFY(!form.ending());

        if (i % 50 == 0)
            QCoreApplication::processEvents();
        if (i == warmUp)
            residentAtWarmUp = test::residentBytes();
        if (sheet.size() > 4000) {  // keep the model cheap: start a fresh page now and then
            QKeyEvent f12(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
            QCoreApplication::sendEvent(form.scrivo, &f12);
            sheet.clear();
        }
    }
    faults.restore();

    const qint64 growth = test::residentBytes() - residentAtWarmUp;
    qInfo("%d keys, %d help boxes, resident memory grew by %.1f MB after key %d", keys, helpBoxes,
          double(growth) / (1024 * 1024), warmUp);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory back on purpose: growth says nothing here.
    Q_UNUSED(growth);
#else
    QVERIFY2(growth < 10 * 1024 * 1024, "resident memory grew by 10 MB or more");
#endif
}

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
