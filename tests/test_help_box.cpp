// F1: the help box, its text and title, and the real modal box. The help box
// sees only the message box and how the quit keys work.
#include "commands/help_box.h"
#include "platform/desktop/message_box.h"
#include "support/fake_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using quillo::test::RecordingMessageBox;

class TestHelpBox : public QObject {
    Q_OBJECT

private slots:
    void textLineByLine();
    void shownWithItsTitle();
    void realModalBox();
};

void TestHelpBox::textLineByLine()
{
    const QString text = quillo::helpText();
    QCOMPARE(text.count(u'\n'), 16);
    QVERIFY(text.endsWith(u'\n'));
    QVERIFY(!text.contains(u'\r'));

    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines.last(), QString());
    const QStringList keys = {
        QStringLiteral("ESC: carica default"),
        QStringLiteral("F1: Aiuto (ALT+F1: default base)"),
        QStringLiteral("F2 : Cambia colore sfondo (con ALT: Salva)"),
        QStringLiteral("F3 : Cambia colore scrittura"),
        QStringLiteral("F4 : Smussa angoli (con ALT: Esce)"),
        QStringLiteral("F5 : Cambia carattere"),
        QStringLiteral("F6 : Diminuisce dimensioni carattere"),
        QStringLiteral("F7 : Aumenta dimensioni carattere"),
        QStringLiteral("F8 : Cambia Parole"),
        QStringLiteral("F9 : Vedi o Nascondi Parole"),
        QStringLiteral("F10: Attiva o disattiva Parola"),
        QStringLiteral("F11: Attiva o disattiva Suono"),
        QStringLiteral("F12: Pulisce foglio"),
    };
    for (int i = 0; i < keys.size(); ++i) {
        // Byte for byte, so compare the UTF-8 forms.
        QCOMPARE(lines.at(i).toUtf8(), keys.at(i).toUtf8());
    }
    QVERIFY2(lines.at(13).startsWith(QStringLiteral("v.1.1 ")), qPrintable(lines.at(13)));
    QVERIFY(!lines.at(14).isEmpty());
    const QString prefix = QStringLiteral("Se vi piace, o se avete suggerimenti, contattatemi a ");
    QVERIFY2(lines.at(15).startsWith(prefix), qPrintable(lines.at(15)));
    static const QRegularExpression address(QStringLiteral("^[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}$"));
    QVERIFY2(address.match(lines.at(15).mid(prefix.size())).hasMatch(), qPrintable(lines.at(15)));

    // With --hold-to-quit one line more says so; the sixteen stay as they are.
    const QString held = quillo::helpText(true);
    QVERIFY(held.startsWith(text));
    QCOMPARE(held.count(u'\n'), 17);
    QVERIFY2(held.mid(text.size()).startsWith(QStringLiteral("Per uscire: tieni premuti Alt+Q")), qPrintable(held.mid(text.size())));
    RecordingMessageBox messages;
    quillo::showHelpBox(messages, nullptr, true);
    QCOMPARE(messages.shown.value(0).text, held);
}

void TestHelpBox::shownWithItsTitle()
{
    RecordingMessageBox messages;
    QWidget parent;
    quillo::showHelpBox(messages, &parent, false);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.at(0).title, QStringLiteral("QUILLO TINDO"));
    QCOMPARE(messages.shown.at(0).text, quillo::helpText());
}

void TestHelpBox::realModalBox()
{
    quillo::QtMessageBox messages;
    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    bool seen = false;
    QString problem;
    QTimer closer;
    closer.setInterval(20);
    int ticks = 0;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++ticks > 250) {  // five seconds: give up without leaving a box open
                problem = QStringLiteral("no modal message box appeared");
                closer.stop();
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (auto* other = qobject_cast<QMessageBox*>(top))
                        other->reject();
                }
            }
            return;
        }
        closer.stop();
        seen = true;
        if (box->parentWidget() != &parent)
            problem += QStringLiteral("not over the window it was given; ");
        if (box->icon() != QMessageBox::Information)
            problem += QStringLiteral("icon is not Information; ");
        if (box->buttons().size() != 1 || !box->button(QMessageBox::Ok))
            problem += QStringLiteral("not exactly one OK button; ");
        if (box->windowTitle() != QStringLiteral("QUILLO TINDO"))
            problem += QStringLiteral("title is \"%1\"; ").arg(box->windowTitle());
        if (box->text() != quillo::helpText())
            problem += QStringLiteral("text differs; ");
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    closer.start();

    quillo::showHelpBox(messages, &parent, false);  // returns once the box is closed

    QVERIFY2(seen, qPrintable(problem));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestHelpBox)
#include "test_help_box.moc"
