#pragma once

#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

namespace quillo {

// The writing sheet's keys, answered one at a time and in order.
//
// While a key is answered its sounds play in a local loop that leaves the
// window system's input queued, so keys typed meanwhile wait. When an answer
// ends, what waits is read at once: every key pressed (or composed, or let
// go) meanwhile is answered after it, in turn and whole, but the auto-repeats
// of a held key are dropped. A held key is so answered again by the first
// repeat that comes after its answer: it speaks back to back while it is
// held, each time writing one character, and once let go falls silent as
// soon as the sound under way ends. The same holds for a slow repaint, as
// when a held F7 grows the letters.
//
// Nothing waits for anything here: the queue is read without blocking, and
// an idle sheet costs nothing.
class KeyQueue final {
public:
    // Answers one key press, key release or input-method event of the sheet.
    // True when the event goes no further; false when the sheet takes it
    // (writes the character).
    using Answer = std::function<bool(QEvent&)>;

    // How the window system repeats a held key. Qt flags the repeats it
    // makes itself (Wayland); X11's come as a release and a press at one
    // time stamp, unflagged, which on Wayland two quick presses of one key
    // from a program can also be.
    enum class Repeats { Flagged, X11Pairs };

    KeyQueue(QWidget& sheet, Repeats repeats, Answer answer);
    ~KeyQueue();
    KeyQueue(const KeyQueue&) = delete;
    KeyQueue& operator=(const KeyQueue&) = delete;

    // The sheet's key presses, key releases and input-method events, from its
    // event filter. True when the filter must stop the event: the queue
    // answers it now, keeps it for its turn, or drops it.
    bool take(QEvent& event);

    // How many repeats have been dropped since the start.
    int droppedRepeats() const { return dropped_; }

private:
    void answerInTurn(QEvent& event);
    void readWhatCameMeanwhile();

    QWidget& sheet_;
    Repeats repeats_;
    Answer answer_;
    bool answering_ = false;
    bool handingOn_ = false;  // the queue gives an event to the sheet itself
    int dropped_ = 0;
    std::deque<std::unique_ptr<QEvent>> waiting_;
};

}  // namespace quillo
