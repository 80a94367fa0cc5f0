#pragma once

#include <QPushButton>

namespace quillo {

// The word-mode check box, drawn as a toggle button captioned "PAROLA". Its
// value is 0 (off), 1 (on) or 2 (greyed). A click toggles it between on and
// off; either a click or a value change from code emits clicked().
class WordModeButton final : public QPushButton {
    Q_OBJECT
public:
    explicit WordModeButton(QWidget* parent = nullptr);

    int value() const { return value_; }
    // Sets 0, 1 or 2; other values are refused with false. A different value
    // emits valueClicked().
    bool setValue(int value);

signals:
    void valueClicked();

protected:
    void nextCheckState() override;

private:
    void showValue();
    int value_ = 1;
};

}  // namespace quillo
