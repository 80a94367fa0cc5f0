#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QKeyEvent;

namespace quillo {

// With --hold-to-quit, the keys that end the program (Alt+Q, Alt+F4) do so
// only once held down for two seconds with no other key pressed meanwhile,
// so a small child's palm on the keyboard cannot. A key held down repeats
// (under X11 as release and press pairs at one time stamp): the repeats of
// the quit key neither restart the hold nor reach the handlers, and the
// release of the quit key or of Alt, any other key, or the focus moving to
// another window cancels it.
class QuitHold final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kHeldFor{2000};

    explicit QuitHold(std::chrono::milliseconds heldFor = kHeldFor);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    void setHeldFor(std::chrono::milliseconds heldFor) { timer_.setInterval(heldFor); }

    // Every key press and release on the sheet, before it is handled. True
    // when the key goes no further: a repeat of the quit key being held.
    bool keyEvent(const QKeyEvent& event);
    // The key just pressed is the quit key: its hold begins.
    void start();
    bool holding() const { return timer_.isActive(); }

signals:
    // Held long enough: the program ends.
    void held();

private:
    void cancel();

    bool enabled_ = false;
    int pressed_ = 0;  // the key that last went down
    int quitKey_ = 0;  // the quit key, from its press to its release
    QTimer timer_;
    // A release of the quit key that may be half of a repeat.
    QTimer releaseCheck_;
    quint64 releasedAt_ = 0;
    bool due_ = false;  // held long enough while the release check ran
};

}  // namespace quillo
