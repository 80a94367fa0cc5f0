#include "form/key_queue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace quillo {

namespace {

// Passes of the event dispatcher that read what came in while a key was
// answered. One pass takes all that is queued; more are needed only for what
// arrives while the first ones run (a repaint of big letters, say). The bound
// keeps a flood of timers or input from holding the answer forever.
constexpr int kMaxPasses = 100;

bool isKey(const QEvent& event)
{
    return event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease;
}

bool isRepeat(const QEvent& event)
{
    return isKey(event) && static_cast<const QKeyEvent&>(event).isAutoRepeat();
}

// X11 repeats a held key as a release and a press of one time stamp, which
// Qt leaves unflagged: the press that follows such a release of its key.
bool isSecondHalfOfRepeat(const QEvent& event, const QEvent& before)
{
    if (event.type() != QEvent::KeyPress || before.type() != QEvent::KeyRelease)
        return false;
    const auto& press = static_cast<const QKeyEvent&>(event);
    const auto& release = static_cast<const QKeyEvent&>(before);
    return press.key() == release.key() && press.nativeScanCode() == release.nativeScanCode()
        && press.timestamp() == release.timestamp();
}

}  // namespace

KeyQueue::KeyQueue(QWidget& sheet, Repeats repeats, Answer answer)
    : sheet_(sheet), repeats_(repeats), answer_(std::move(answer))
{
}

KeyQueue::~KeyQueue() = default;

bool KeyQueue::take(QEvent& event)
{
    if (handingOn_)
        return false;  // the queue's own hand-over: the sheet takes it
    if (answering_) {
        if (isRepeat(event)) {
            ++dropped_;
            return true;
        }
        if (repeats_ == Repeats::X11Pairs && !waiting_.empty() && isSecondHalfOfRepeat(event, *waiting_.back())) {
            waiting_.pop_back();
            dropped_ += 2;
            return true;
        }
        waiting_.emplace_back(event.clone());
        return true;
    }
    answering_ = true;
    answerInTurn(event);
    while (!waiting_.empty()) {
        const std::unique_ptr<QEvent> next = std::move(waiting_.front());
        waiting_.pop_front();
        answerInTurn(*next);
    }
    answering_ = false;
    return true;
}

void KeyQueue::answerInTurn(QEvent& event)
{
    if (!answer_(event)) {
        // The sheet writes the character now, before any key that waits.
        handingOn_ = true;
        QCoreApplication::sendEvent(&sheet_, &event);
        handingOn_ = false;
    }
    readWhatCameMeanwhile();
}

void KeyQueue::readWhatCameMeanwhile()
{
    // Everything delivered now comes back through take(), which keeps the
    // keys for their turn and drops the repeats.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
}

}  // namespace quillo
