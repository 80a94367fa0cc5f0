#include "form/cursor_rest.h"

#include <QApplication>
#include <QPlainTextEdit>

namespace quillo {

CursorRest::CursorRest(QPlainTextEdit* sheet, int blinkingMs)
    : QObject(sheet), flashTime_(QApplication::cursorFlashTime())
{
    timer_.setSingleShot(true);
    timer_.setInterval(blinkingMs);
    timer_.callOnTimeout(this, &CursorRest::rest);
    connect(sheet, &QPlainTextEdit::textChanged, this, &CursorRest::wake);
    connect(sheet, &QPlainTextEdit::cursorPositionChanged, this, &CursorRest::wake);
    if (flashTime_ > 0)  // a desktop that does not blink at all is left so
        timer_.start();
}

void CursorRest::wake()
{
    if (flashTime_ <= 0)
        return;
    if (resting_) {
        resting_ = false;
        QApplication::setCursorFlashTime(flashTime_);
    }
    timer_.start();
}

void CursorRest::rest()
{
    resting_ = true;
    QApplication::setCursorFlashTime(0);  // the text box keeps its cursor lit
}

}  // namespace quillo
