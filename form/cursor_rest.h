#pragma once

#include <QObject>
#include <QTimer>

class QPlainTextEdit;

namespace quillo {

// The sheet's cursor blinks while the child types and for a while after,
// then stays lit, as desktops do: a toy left alone wakes nobody, not even
// to blink. Any change of the text or of the cursor's place sets it
// blinking again. The blink is the application's (QStyleHints), which the
// sheet, Quillo's one text box, shares with nothing.
class CursorRest final : public QObject {
public:
    static constexpr int kBlinkingMs = 10000;

    explicit CursorRest(QPlainTextEdit* sheet, int blinkingMs = kBlinkingMs);
    bool resting() const { return resting_; }

private:
    void wake();
    void rest();

    QTimer timer_;
    int flashTime_;  // the desktop's own, given back on waking
    bool resting_ = false;
};

}  // namespace quillo
