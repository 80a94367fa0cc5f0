#include "platform/desktop/lifted_hold_mark.h"

#include <QEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace quillo {

LiftedHoldMark::LiftedHoldMark(QWidget* window) : QWidget(window)
{
    setObjectName(QStringLiteral("liftedHoldMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("I tasti del desktop sono di nuovo attivi"));
    resize(kWidth, kHeight);
    window->installEventFilter(this);
    hide();
}

void LiftedHoldMark::setLifted(bool lifted)
{
    if (lifted) {
        place();
        raise();
    }
    setVisible(lifted);
}

void LiftedHoldMark::place()
{
    // In the corner of the window's own screen, where a compositor stretches
    // the window over several.
    const QWidget* window = parentWidget();
    int right = window->width();
    if (const QScreen* screen = window->screen())
        right = std::min(right, screen->geometry().width());
    move(right - kWidth - kMargin, kMargin);
}

bool LiftedHoldMark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return false;
}

void LiftedHoldMark::paintEvent(QPaintEvent*)
{
    // A keyboard outline with two rows of keys and a space bar.
    QPainter painter(this);
    painter.setPen(QPen(kColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1, 1, kWidth - 2, kHeight - 2), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kColour);
    for (int row = 0; row < 2; ++row) {
        for (int x = 5; x + 3 <= kWidth - 4; x += 5)
            painter.drawRect(x, 4 + row * 4, 3, 2);
    }
    painter.drawRect(8, kHeight - 6, kWidth - 16, 2);
}

}  // namespace quillo
