#pragma once

#include <QPlainTextEdit>

namespace quillo {

// The writing sheet: a multi-line text box in big bold letters, without
// scroll bars, whose colours are held as 32-bit colour values (a system
// colour reference or 0x00BBGGRR) and whose font is set by name and size.
class WritingSheet final : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr double kMinFontSize = 1.0;
    static constexpr double kMaxFontSize = 500.0;  // about two thirds of a 1080-line screen at 96 dpi

    explicit WritingSheet(QWidget* parent = nullptr);

    qint32 backColor() const { return backColor_; }
    qint32 foreColor() const { return foreColor_; }
    void setBackColor(qint32 value);
    void setForeColor(qint32 value);
    // The colour the sheet shows behind the text.
    QColor background() const { return palette().color(QPalette::Base); }

    QString fontName() const;
    void setFontName(const QString& name);
    // The size in points that the font system gives, to four decimals.
    double fontSize() const;
    // Asks for a size; it is kept within [kMinFontSize, kMaxFontSize].
    void setFontSize(double points);

signals:
    void backgroundChanged(const QColor& colour);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColours();

    qint32 backColor_;
    qint32 foreColor_;
    bool applying_ = false;
};

}  // namespace quillo
