#include "app/word_mode_button.h"

namespace quillo {

WordModeButton::WordModeButton(QWidget* parent) : QPushButton(QStringLiteral("PAROLA"), parent)
{
    setCheckable(true);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    showValue();
    connect(this, &QAbstractButton::clicked, this, &WordModeButton::valueClicked);
}

bool WordModeButton::setValue(int value)
{
    if (value < 0 || value > 2)
        return false;
    if (value == value_)
        return true;
    value_ = value;
    showValue();
    emit valueClicked();
    return true;
}

void WordModeButton::nextCheckState()
{
    // A click: on becomes off; off and greyed become on.
    value_ = value_ == 1 ? 0 : 1;
    showValue();
}

void WordModeButton::showValue()
{
    setChecked(value_ != 0);
    setProperty("greyed", value_ == 2);
    setStyleSheet(value_ == 2 ? QStringLiteral("color: gray;") : QString());
}

}  // namespace quillo
