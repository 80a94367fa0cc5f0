#include "form/writing_sheet.h"

#include "form/built_in_font.h"
#include "form/colour_value.h"
#include "form/cursor_rest.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>

#include <algorithm>
#include <cmath>

namespace quillo {

WritingSheet::WritingSheet(QWidget* parent)
    : QPlainTextEdit(parent), backColor_(kSystemWindowColour), foreColor_(kSystemWindowTextColour)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setFont(builtInFont());
    applyColours();
    new CursorRest(this);
}

void WritingSheet::setBackColor(qint32 value)
{
    backColor_ = value;
    applyColours();
}

void WritingSheet::setForeColor(qint32 value)
{
    foreColor_ = value;
    applyColours();
}

void WritingSheet::applyColours()
{
    applying_ = true;
    const QPalette system = QApplication::palette(this);
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, colourFromValue(backColor_, system));
        p.setColor(group, QPalette::Text, colourFromValue(foreColor_, system));
    }
    const bool changed = p.color(QPalette::Base) != background();
    setPalette(p);
    applying_ = false;
    if (changed)
        emit backgroundChanged(background());
}

void WritingSheet::changeEvent(QEvent* event)
{
    // System colour references follow a change of theme.
    if (event->type() == QEvent::ApplicationPaletteChange && !applying_)
        applyColours();
    QPlainTextEdit::changeEvent(event);
}

QString WritingSheet::fontName() const
{
    return font().family();
}

void WritingSheet::setFontName(const QString& name)
{
    QFont f = font();
    f.setFamily(name);
    f.setBold(true);
    setFont(f);
}

double WritingSheet::fontSize() const
{
    return std::round(QFontInfo(font()).pointSizeF() * 10000.0) / 10000.0;
}

void WritingSheet::setFontSize(double points)
{
    if (std::isnan(points))
        return;
    QFont f = font();
    f.setPointSizeF(std::clamp(points, kMinFontSize, kMaxFontSize));
    setFont(f);
}

}  // namespace quillo
