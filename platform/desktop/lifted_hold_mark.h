#pragma once

#include <QWidget>

namespace quillo {

// A small, quiet mark in the top right corner of the window: a grey
// keyboard, shown while the desktop's own keys are live again because the
// compositor has lifted the hold on its shortcuts. For the adult to see; it
// takes no clicks and no focus.
class LiftedHoldMark final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 28, kHeight = 18, kMargin = 6;
    static inline const QColor kColour{128, 128, 128};

    explicit LiftedHoldMark(QWidget* window);

    // Shows the mark while LIFTED.
    void setLifted(bool lifted);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
};

}  // namespace quillo
