#include "form/quit_hold.h"

#include <QGuiApplication>
#include <QWindow>
#include <QKeyEvent>

#include <utility>

namespace quillo {

namespace {

// X11 repeats a held key as a release and a press with the same time stamp,
// which Qt marks as a repeat only when both are already queued; a release
// of the quit key counts once no such press has followed for this long.
constexpr int kRepeatGapMs = 100;

}  // namespace

QuitHold::QuitHold(std::chrono::milliseconds heldFor)
{
    timer_.setSingleShot(true);
    timer_.setInterval(heldFor);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (releaseCheck_.isActive())
            due_ = true;  // the key may be up: the release check decides
        else
            emit held();
    });
    releaseCheck_.setSingleShot(true);
    releaseCheck_.setInterval(kRepeatGapMs);
    // Keys let go in another window never come here.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &QuitHold::cancel);
    connect(&releaseCheck_, &QTimer::timeout, this, [this] {
        quitKey_ = 0;
        cancel();
    });
}

bool QuitHold::keyEvent(const QKeyEvent& event)
{
    if (!enabled_)
        return false;
    const int key = event.key();
    const bool ofQuitKey = quitKey_ != 0 && key == quitKey_;
    if (event.type() == QEvent::KeyPress && ofQuitKey && releaseCheck_.isActive()
        && event.timestamp() == releasedAt_) {
        // The release just before was the repeat's: the key never went up.
        releaseCheck_.stop();
        if (std::exchange(due_, false))
            emit held();
        return true;
    }
    if (event.isAutoRepeat())
        return ofQuitKey;  // the key is still down: nothing changes
    if (event.type() == QEvent::KeyPress) {
        cancel();  // another key, or the quit key again
        pressed_ = key;
        return false;
    }
    if (event.type() == QEvent::KeyRelease) {
        if (ofQuitKey && timer_.isActive()) {
            releasedAt_ = event.timestamp();
            releaseCheck_.start();
            return false;
        }
        if (ofQuitKey)
            quitKey_ = 0;
        cancel();  // Alt let go, or another key
    }
    return false;
}

void QuitHold::start()
{
    quitKey_ = pressed_;
    timer_.start();
}

void QuitHold::cancel()
{
    timer_.stop();
    releaseCheck_.stop();
    due_ = false;
}

}  // namespace quillo
