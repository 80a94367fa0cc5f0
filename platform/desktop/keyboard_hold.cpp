#include "platform/desktop/keyboard_hold.h"
#include "platform/desktop/display_system.h"

#include "platform/base/log.h"
#include "platform/desktop/shortcuts_inhibitor.h"

#include <QGuiApplication>
#include <QWindow>

namespace quillo {

namespace {

// The window manager holds the keyboard itself for a moment while it handles
// one of its own keys, and then refuses the grab: ask again shortly.
constexpr int kRetryMs = 100;
// About a second of refusals means someone else holds it.
constexpr int kRefusalsBeforeSaying = 10;

}  // namespace

bool waylandHoldBuiltIn()
{
#ifdef QUILLO_WAYLAND
    return true;
#else
    return false;
#endif
}

KeyboardHold::KeyboardHold(QObject* parent) : QObject(parent)
{
    x11_ = onX11();
#ifdef QUILLO_WAYLAND
    if (onWayland())
        inhibitor_ = ShortcutsInhibitor::create();
    if (inhibitor_ != nullptr) {
        inhibitor_->changed = [this](QWindow* window, bool active) { inhibitorChanged(window, active); };
        // Every window is held as soon as it is shown, before it can get the focus.
        qApp->installEventFilter(this);
    }
#else
    if (onWayland())
        qCWarning(lcQuillo, "this build has no Wayland hold: the desktop's shortcuts (Alt+Tab, Super) stay live");
#endif
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &KeyboardHold::tryHold);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &KeyboardHold::follow);
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &KeyboardHold::release);
    follow(QGuiApplication::focusWindow());
}

KeyboardHold::~KeyboardHold()
{
    release();
}

void KeyboardHold::follow(QWindow* window)
{
#ifdef QUILLO_WAYLAND
    if (inhibitor_ != nullptr) {
        if (window == nullptr)
            return;
        lifted_.removeAll(nullptr);  // windows gone meanwhile
        if (lifted_.contains(window))
            inhibitor_->renew(window);  // asked again, on the focus
        else
            inhibitor_->hold(window);
        return;
    }
#endif
    // The compositor applies an inhibition only while its window has the
    // keyboard focus, so on Wayland it stays on the last window when the focus
    // goes nowhere. A keyboard that comes and goes (plugged in, or virtual)
    // takes the focus away and back with it, and its first keys would reach
    // the compositor's bindings before a new request.
    if (window == nullptr && inhibitor_ != nullptr)
        return;
    if (window != held_)
        release();
    wanted_ = window;
    refusals_ = 0;
    tryHold();
}

void KeyboardHold::tryHold()
{
    // Only X11 grabs and Wayland inhibits; elsewhere there is nothing to hold.
    if (wanted_ == nullptr || wanted_ == held_ || (!x11_ && inhibitor_ == nullptr))
        return;
    // An unmapped window cannot hold the keyboard yet.
    if (wanted_->isExposed() && (x11_ ? wanted_->setKeyboardGrabEnabled(true) : holdOnWayland(wanted_))) {
        held_ = wanted_;
        return;
    }
    if (x11_ && ++refusals_ == kRefusalsBeforeSaying && !saidRefused_) {
        qCWarning(lcQuillo, "another program holds the keyboard; Quillo keeps asking while it is in front");
        saidRefused_ = true;
    }
    retry_.start();
}

void KeyboardHold::release()
{
    retry_.stop();
    if (held_ != nullptr && x11_)
        held_->setKeyboardGrabEnabled(false);
#ifdef QUILLO_WAYLAND
    if (inhibitor_ != nullptr)
        inhibitor_->release();
#endif
    held_ = nullptr;
}

bool KeyboardHold::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && watched->isWindowType()) {
        auto* window = static_cast<QWindow*>(watched);
        if (window->isTopLevel() && window->type() != Qt::ToolTip && window->type() != Qt::Popup)
            holdOnWayland(window);
    }
    return false;
}

void KeyboardHold::inhibitorChanged(QWindow* window, bool active)
{
    const bool wasLifted = lifted();
    if (active) {
        lifted_.removeAll(window);
    } else if (!lifted_.contains(window)) {
        lifted_.append(window);
    }
    if (lifted() == wasLifted)
        return;
    if (lifted())
        qCWarning(lcQuillo, "the Wayland compositor has lifted the hold on its shortcuts: the desktop's keys are live "
                            "until Quillo's window gets the focus again");
    else
        qCInfo(lcQuillo, "the Wayland compositor holds its shortcuts off again");
    emit liftedChanged(lifted());
}

bool KeyboardHold::holdOnWayland(QWindow* window)
{
#ifdef QUILLO_WAYLAND
    return inhibitor_ != nullptr && inhibitor_->hold(window);
#else
    Q_UNUSED(window);
    return false;
#endif
}

}  // namespace quillo
