#pragma once

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>

class QScreen;
class QWidget;

namespace quillo {

// A borderless full-screen cover, in one colour, on every screen that the
// window does not cover itself, so that nothing of the desktop shows there
// and no click there starts anything. Screens plugged in or taken away while
// the program runs get or lose theirs. A cover never keeps the keyboard: a
// click on it, or the focus landing there, goes straight back to the window,
// and a key that reaches it still goes to the window's focus.
class ScreenCovers final : public QObject {
    Q_OBJECT
public:
    // WINDOW has its screen and geometry; it may be shown before or after.
    ScreenCovers(QWidget* window, const QColor& colour);
    ~ScreenCovers() override;
    ScreenCovers(const ScreenCovers&) = delete;
    ScreenCovers& operator=(const ScreenCovers&) = delete;

    void setColour(const QColor& colour);
    // The covers now, for the screen each is on.
    QList<QWidget*> covers() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();
    QWidget* makeCover(QScreen* screen);

    QPointer<QWidget> window_;
    QColor colour_;
    QHash<QScreen*, QWidget*> covers_;
};

}  // namespace quillo
