// The sheet's keys in turn: keys that come while one is answered (its sound
// playing in a local loop) wait and are answered whole, in order, after it;
// the repeats of a held key that came meanwhile are dropped, and a repeat
// that comes after the answer is answered as any key. Events are posted, as
// the window system's are queued; the real queue is tried through the X
// server and sway by the x11_held_key, x11_key_queue and wayland_held_key
// tests.
#include "form/key_queue.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

using quillo::KeyQueue;

namespace {

// A sheet with the queue in its event filter; each answer is written down,
// and a key press "plays a sound" of `busyMs` in a local loop that leaves
// window-system input queued, as the sound player does.
class Sheet final : public QObject {
public:
    explicit Sheet(int busyMs, KeyQueue::Repeats repeats = KeyQueue::Repeats::X11Pairs)
        : busyMs_(busyMs), queue_(edit, repeats, [this](QEvent& e) { return answer(e); })
    {
        edit.installEventFilter(this);
    }

    QPlainTextEdit edit;
    QStringList answered;
    QString stopped;  // characters whose answer keeps them off the sheet

    void post(QEvent::Type type, const QString& text, bool repeat = false)
    {
        // Qt's codes of Latin-1 keys are their capital letters' code points.
        const int key = text.at(0).toUpper().unicode();
        auto* event = new QKeyEvent(type, key, Qt::NoModifier, text, repeat);
        event->setTimestamp(++time_);
        QCoreApplication::postEvent(&edit, event);
    }
    // X11's repeat: a release and a press at one time stamp, not flagged.
    void postX11Repeat(const QString& text)
    {
        post(QEvent::KeyRelease, text);
        --time_;
        post(QEvent::KeyPress, text);
    }
    void postComposed(const QString& text)
    {
        auto* event = new QInputMethodEvent;
        event->setCommitString(text);
        QCoreApplication::postEvent(&edit, event);
    }
    int dropped() const { return queue_.droppedRepeats(); }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        const auto type = e->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::InputMethod)
            return queue_.take(*e);
        return false;
    }

private:
    bool answer(QEvent& e)
    {
        if (e.type() == QEvent::InputMethod) {
            answered << QStringLiteral("im ") + static_cast<QInputMethodEvent&>(e).commitString();
            return false;
        }
        auto& key = static_cast<QKeyEvent&>(e);
        answered << (key.type() == QEvent::KeyPress ? QStringLiteral("+") : QStringLiteral("-")) + key.text()
                + (key.isAutoRepeat() ? QStringLiteral("r") : QString());
        if (key.type() == QEvent::KeyPress && busyMs_ > 0) {
            QEventLoop sound;
            QTimer::singleShot(busyMs_, &sound, &QEventLoop::quit);
            sound.exec(QEventLoop::ExcludeUserInputEvents);
        }
        return stopped.contains(key.text());
    }

    int busyMs_;
    quint64 time_ = 1000;
    KeyQueue queue_;
};

}  // namespace

class TestKeyQueue : public QObject {
    Q_OBJECT

private slots:
    void heldKeyRepeatsDropWhileAnswering();
    void quickPressesOfOneKeyAreNoRepeatsOnWayland();
};

void TestKeyQueue::heldKeyRepeatsDropWhileAnswering()
{
    Sheet sheet(60);
    sheet.stopped = QStringLiteral("x");
    // "a" plays; meanwhile it repeats (as X11 does, and as Qt does on
    // Wayland, flagged), "b" and "x" are pressed, "a" is let go and "è" is
    // composed from a dead key.
    sheet.post(QEvent::KeyPress, QStringLiteral("a"));
    sheet.postX11Repeat(QStringLiteral("a"));
    sheet.post(QEvent::KeyPress, QStringLiteral("b"));
    sheet.post(QEvent::KeyRelease, QStringLiteral("b"));
    sheet.post(QEvent::KeyRelease, QStringLiteral("a"), true);
    sheet.post(QEvent::KeyPress, QStringLiteral("a"), true);
    sheet.post(QEvent::KeyPress, QStringLiteral("x"));
    sheet.post(QEvent::KeyRelease, QStringLiteral("a"));
    sheet.postComposed(QStringLiteral("è"));
    QTRY_COMPARE(sheet.answered.size(), 6);
    QCOMPARE(sheet.answered, (QStringList{"+a", "+b", "-b", "+x", "-a", "im è"}));
    QCOMPARE(sheet.dropped(), 4);
    // One character for each answer that lets the sheet write, in order.
    QCOMPARE(sheet.edit.toPlainText(), QStringLiteral("abè"));

    // A key still held after its answer goes on with its next repeat,
    // answered as any key.
    sheet.post(QEvent::KeyPress, QStringLiteral("b"));
    QTRY_COMPARE(sheet.answered.size(), 7);
    sheet.postX11Repeat(QStringLiteral("b"));
    QTRY_COMPARE(sheet.answered.size(), 9);
    QCOMPARE(sheet.answered.mid(7), (QStringList{"-b", "+b"}));
    QCOMPARE(sheet.edit.toPlainText(), QStringLiteral("abèbb"));
    QCOMPARE(sheet.dropped(), 4);
}

void TestKeyQueue::quickPressesOfOneKeyAreNoRepeatsOnWayland()
{
    // A program's keyboard (wtype) may press one key again within the same
    // millisecond; only flagged repeats drop there.
    Sheet sheet(30, KeyQueue::Repeats::Flagged);
    sheet.post(QEvent::KeyPress, QStringLiteral("a"));
    sheet.postX11Repeat(QStringLiteral("b"));
    sheet.postX11Repeat(QStringLiteral("b"));
    QTRY_COMPARE(sheet.answered.size(), 5);
    QCOMPARE(sheet.edit.toPlainText(), QStringLiteral("abb"));
    QCOMPARE(sheet.dropped(), 0);
}

QTEST_MAIN(TestKeyQueue)
#include "test_key_queue.moc"
