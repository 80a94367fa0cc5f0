// F1: the help box as the user sees it: every command key named, its title,
// and the real modal box on the screen. The help box sees only the message
// box and how the quit keys work.
#include "commands/help_box.h"
#include "platform/desktop/message_box.h"
#include "support/fake_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using quillo::test::RecordingMessageBox;

class TestHelpBox : public QObject {
    Q_OBJECT

private slots:
    void everyCommandKeyNamed();
    void shownWithItsTitle();
    void realModalBox();
};

void TestHelpBox::everyCommandKeyNamed()
{
    const QString text = quillo::helpText();
    QVERIFY(text.endsWith(u'\n'));
    QVERIFY(!text.contains(u'\r'));
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);

    // Each command key has a line of its own that starts with its name; the
    // keys that do something else with Alt say so on the same line.
    QStringList keys{QStringLiteral("ESC")};
    for (int n = 1; n <= 12; ++n)
        keys << QStringLiteral("F%1").arg(n);
    for (const QString& key : keys) {
        static const QRegularExpression nameThenColon(QStringLiteral("^([A-Z0-9]+) *: *\\S"));
        const QStringList named = lines.filter(QRegularExpression(u'^' + key + QStringLiteral(" *:")));
        QVERIFY2(named.size() == 1, qPrintable(key + QStringLiteral(": ") + named.join(u'|')));
        QVERIFY2(nameThenColon.match(named.at(0)).hasMatch(), qPrintable(named.at(0)));
        if (key == u"F1" || key == u"F2" || key == u"F4")
            QVERIFY2(named.at(0).contains(QStringLiteral("ALT")), qPrintable(named.at(0)));
    }

    // Then the version, and how to reach us.
    QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^v\\.1\\.1 "))).size() == 1, qPrintable(text));
    const QString prefix = QStringLiteral("Se vi piace, o se avete suggerimenti, contattatemi a ");
    QCOMPARE(lines.filter(prefix).size(), 1);
    const QString contact = lines.filter(prefix).at(0);
    static const QRegularExpression address(QStringLiteral("^[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}$"));
    QVERIFY2(address.match(contact.mid(prefix.size())).hasMatch(), qPrintable(contact));

    // With --hold-to-quit one line more says how to quit; the others stay as they are.
    const QString held = quillo::helpText(true);
    QVERIFY(held.startsWith(text));
    QCOMPARE(held.count(u'\n'), text.count(u'\n') + 1);
    const QString quitLine = held.mid(text.size());
    QVERIFY2(quitLine.contains(QStringLiteral("Alt+Q")) && quitLine.contains(QStringLiteral("Alt+F4"))
                 && quitLine.contains(QStringLiteral("2 secondi")),
             qPrintable(quitLine));
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
        if (box->text() != quillo::helpText(true))
            problem += QStringLiteral("text differs; ");
        // The whole box on the screen, its last line included.
        const QRect screen = box->screen()->availableGeometry();
        if (!screen.contains(box->frameGeometry()))
            problem += QStringLiteral("%1x%2 does not fit the screen %3x%4; ")
                           .arg(box->frameGeometry().width()).arg(box->frameGeometry().height())
                           .arg(screen.width()).arg(screen.height());
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    closer.start();

    quillo::showHelpBox(messages, &parent, true);  // returns once the box is closed

    QVERIFY2(seen, qPrintable(problem));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestHelpBox)
#include "test_help_box.moc"
