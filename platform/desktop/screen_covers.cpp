#include "platform/desktop/screen_covers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace quillo {

ScreenCovers::ScreenCovers(QWidget* window, const QColor& colour) : window_(window), colour_(colour)
{
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenCovers::update);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen* screen) {
        delete covers_.take(screen);
        update();
    });
    // The window's own screen and size are known for sure once it is on
    // screen (a Wayland compositor sizes it, and may stretch it over several).
    window->installEventFilter(this);
    if (QWindow* handle = window->windowHandle())
        connect(handle, &QWindow::screenChanged, this, &ScreenCovers::update);
    update();
}

ScreenCovers::~ScreenCovers()
{
    qDeleteAll(covers_);
}

void ScreenCovers::setColour(const QColor& colour)
{
    colour_ = colour;
    for (QWidget* cover : std::as_const(covers_)) {
        QPalette p = cover->palette();
        p.setColor(QPalette::Window, colour_);
        cover->setPalette(p);
    }
}

QList<QWidget*> ScreenCovers::covers() const
{
    return covers_.values();
}

void ScreenCovers::update()
{
    if (window_ == nullptr)
        return;
    const QScreen* own = window_->screen();
    const QRect window = window_->geometry();
    for (QScreen* screen : QGuiApplication::screens()) {
        const bool needed = screen != own && !window.contains(screen->geometry());
        if (needed && !covers_.contains(screen))
            covers_.insert(screen, makeCover(screen));
        else if (!needed)
            delete covers_.take(screen);
    }
}

QWidget* ScreenCovers::makeCover(QScreen* screen)
{
    auto* cover = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    cover->setObjectName(QStringLiteral("cover"));
    cover->setWindowTitle(QStringLiteral("Quillo"));
    cover->setAutoFillBackground(true);
    cover->setFocusPolicy(Qt::NoFocus);
    cover->setAttribute(Qt::WA_ShowWithoutActivating);
    cover->setAttribute(Qt::WA_InputMethodEnabled);
    QPalette p = cover->palette();
    p.setColor(QPalette::Window, colour_);
    cover->setPalette(p);
    cover->setScreen(screen);
    // Without a window manager a full-screen request alone does not resize.
    cover->setGeometry(screen->geometry());
    cover->installEventFilter(this);
    cover->showFullScreen();
    return cover;
}

bool ScreenCovers::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::Show)
            update();
        return false;
    }
    if (window_ == nullptr)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::WindowActivate:
        window_->activateWindow();
        return event->type() == QEvent::MouseButtonPress;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod: {
        // Where the compositor would not hand the focus back: the keys go on.
        QWidget* target = window_->focusWidget() != nullptr ? window_->focusWidget() : window_.data();
        std::unique_ptr<QEvent> copy(event->clone());
        QCoreApplication::sendEvent(target, copy.get());
        return true;
    }
    default:
        return false;
    }
}

}  // namespace quillo
