#include "form/word_mode_button.h"

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
    // On: bright yellow, plainly pressed; off: white; greyed: grey.
    static const QString kLooks[] = {
        QStringLiteral("QPushButton { background: white; color: #404040; border: 1px solid #404040;"
                       " border-radius: 4px; font: bold 7pt; padding: 0; }"),
        QStringLiteral("QPushButton { background: #ffd600; color: black; border: 2px solid black;"
                       " border-radius: 4px; font: bold 7pt; padding: 0; }"),
        QStringLiteral("QPushButton { background: #c8c8c8; color: #808080; border: 1px solid #808080;"
                       " border-radius: 4px; font: bold 7pt; padding: 0; }"),
    };
    setChecked(value_ != 0);
    setStyleSheet(kLooks[value_]);
}

}  // namespace quillo
