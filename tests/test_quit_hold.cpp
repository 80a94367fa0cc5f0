// --hold-to-quit: Alt+Q and Alt+F4 end the program only when held, repeats
// of the held key (flagged by Qt, or X11's unflagged release and press at one
// time stamp) neither restart the hold nor reach the key handlers, and any
// other key or a release cancels it. Without the option they end it at once.
// The keys go as the window hands them on: each to the hold first, and a
// press it lets through to the quit command when it is Alt+Q or Alt+F4.
#include "commands/window_commands.h"
#include "form/quit_hold.h"

#include <QKeyEvent>
#include <QtTest>

using quillo::QuitHold;
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
    explicit Keyboard(QuitHold& hold) : hold(hold)
    {
        QObject::connect(&hold, &QuitHold::held, &hold, [this] { ended = true; });
    }

    QuitHold& hold;
    bool alt = false;
    quint64 time = 1000;
    bool ended = false;
    QString written;  // what the presses that reach the handlers without Alt write

    void send(QEvent::Type type, int key, bool repeat = false, const QString& text = {})
    {
        QKeyEvent event(type, key, alt ? Qt::AltModifier : Qt::NoModifier, text, repeat);
        event.setTimestamp(time);
        if (hold.keyEvent(event) || type != QEvent::KeyPress)
            return;
        if (alt && (key == Qt::Key_Q || key == Qt::Key_F4))
            quillo::quit(hold, [this] { ended = true; });
        else if (!alt)
            written += text;
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

    QuitHold hold;
    hold.setEnabled(true);
    hold.setHeldFor(kHold);
    Keyboard keyboard(hold);
    for (const QString& token : keys.split(u' '))
        keyboard.step(token);

    QCOMPARE(keyboard.ended, ends);
    // Only a plain q writes; a q with Alt, held or repeated, never does.
    QCOMPARE(keyboard.written, keys.startsWith(u'Q') ? QStringLiteral("q") : QString());
}

void TestQuitHold::withoutTheOptionAtOnce()
{
    for (int key : {Qt::Key_Q, Qt::Key_F4}) {
        QuitHold hold;
        Keyboard keyboard(hold);
        keyboard.alt = true;
        keyboard.send(QEvent::KeyPress, key);
        QVERIFY(keyboard.ended);
        QVERIFY(!hold.holding());
    }
}

QTEST_MAIN(TestQuitHold)
#include "test_quit_hold.moc"
