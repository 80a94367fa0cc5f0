// --hold-to-quit through the window's own key handling: Alt+Q and Alt+F4
// end the program only when held, repeats of the held key (flagged by Qt, or
// X11's unflagged release and press at one time stamp) neither restart the
// hold nor write, and any other key or a release cancels it. Without the
// option they end it at once.
#include "support/started_window.h"

#include <QKeyEvent>
#include <QtTest>

using quillo::test::StartedWindow;
using namespace std::chrono_literals;

class TestQuitHold : public QObject {
    Q_OBJECT

private slots:
    void sequences_data();
    void sequences();
    void withoutTheOptionAtOnce();
};

namespace {

constexpr auto kHold = 300ms;

struct Keyboard {
    QWidget* sheet;
    bool alt = false;
    quint64 time = 1000;

    void send(QEvent::Type type, int key, bool repeat = false, const QString& text = {})
    {
        QKeyEvent event(type, key, alt ? Qt::AltModifier : Qt::NoModifier, text, repeat);
        event.setTimestamp(time);
        event.setAccepted(false);
        QCoreApplication::sendEvent(sheet, &event);
    }
    // One step of a sequence: A+ A- (Alt), Q+ Q- F+ F- B+ B- (Q, F4, b),
    // Qr (a repeat Qt flags), Qx (X11's repeat, unflagged), wN (wait N ms).
    void step(const QString& token)
    {
        ++time;
        if (token.startsWith(u'w')) {
            QTest::qWait(token.mid(1).toInt());
            time += token.mid(1).toInt();
            return;
        }
        const QChar which = token.at(0);
        const int key = which == u'A' ? Qt::Key_Alt : which == u'Q' ? Qt::Key_Q : which == u'F' ? Qt::Key_F4 : Qt::Key_B;
        const QString text = which == u'Q' ? QStringLiteral("q") : which == u'B' ? QStringLiteral("b") : QString();
        const QString how = token.mid(1);
        if (how == u"+") {
            send(QEvent::KeyPress, key, false, text);
            if (key == Qt::Key_Alt)
                alt = true;
        } else if (how == u"-") {
            if (key == Qt::Key_Alt)
                alt = false;
            send(QEvent::KeyRelease, key, false, text);
        } else {
            const bool flagged = how == u"r";
            send(QEvent::KeyRelease, key, flagged, text);
            send(QEvent::KeyPress, key, flagged, text);
        }
    }
};

}  // namespace

void TestQuitHold::sequences_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("ends");

    // Each row ends with a wait past the hold time. A repeat that reached
    // the key handler would start the hold again, and the program would not
    // end in time.
    QTest::newRow("quick Alt+Q") << "A+ Q+ Q- A- w400" << false;
    QTest::newRow("quick Alt+F4") << "A+ F+ F- A- w400" << false;
    QTest::newRow("Alt+Q held") << "A+ Q+ w400" << true;
    QTest::newRow("Alt+F4 held") << "A+ F+ w400" << true;
    QTest::newRow("held, Qt's repeats") << "A+ Q+ w100 Qr w100 Qr w100 Qr w100" << true;
    QTest::newRow("held, X11's repeats") << "A+ Q+ w100 Qx w100 Qx w100 Qx w100" << true;
    QTest::newRow("another key meanwhile") << "A+ Q+ w100 B+ B- w100 Qr w400" << false;
    QTest::newRow("Alt let go") << "A+ Q+ w100 A- w400" << false;
    QTest::newRow("Q let go just before the time") << "A+ Q+ w250 Q- w400" << false;
    QTest::newRow("pressed again after letting go") << "A+ Q+ Q- Q+ w400" << true;
    QTest::newRow("Q without Alt") << "Q+ w400" << false;
}

void TestQuitHold::sequences()
{
    QFETCH(QString, keys);
    QFETCH(bool, ends);

    StartedWindow w;
    w.form.quitHold.setEnabled(true);
    w.form.quitHold.setHeldFor(kHold);
    Keyboard keyboard{w.form.scrivo};
    for (const QString& token : keys.split(u' '))
        keyboard.step(token);

    QCOMPARE(w.form.ending(), ends);
    // Only a plain q writes; a q with Alt, held or repeated, never does.
    QCOMPARE(w.form.scrivo->toPlainText(), keys.startsWith(u'Q') ? QStringLiteral("q") : QString());
}

void TestQuitHold::withoutTheOptionAtOnce()
{
    for (int key : {Qt::Key_Q, Qt::Key_F4}) {
        StartedWindow w;
        QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier);
        QCoreApplication::sendEvent(w.form.scrivo, &press);
        QVERIFY(w.form.ending());
    }
}

QTEST_MAIN(TestQuitHold)
#include "test_quit_hold.moc"
