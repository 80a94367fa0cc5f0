#include "platform/keyboard_hold.h"

#include "platform/log.h"

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

KeyboardHold::KeyboardHold(QObject* parent) : QObject(parent)
{
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
    if (window != held_)
        release();
    wanted_ = window;
    refusals_ = 0;
    tryHold();
}

void KeyboardHold::tryHold()
{
    // Only an X11 window can grab; elsewhere it is refused every time.
    if (wanted_ == nullptr || wanted_ == held_ || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // An unmapped window cannot grab yet.
    if (wanted_->isExposed() && wanted_->setKeyboardGrabEnabled(true)) {
        held_ = wanted_;
        return;
    }
    if (++refusals_ == kRefusalsBeforeSaying && !saidRefused_) {
        qCWarning(lcQuillo, "another program holds the keyboard; Quillo keeps asking while it is in front");
        saidRefused_ = true;
    }
    retry_.start();
}

void KeyboardHold::release()
{
    retry_.stop();
    if (held_ != nullptr)
        held_->setKeyboardGrabEnabled(false);
    held_ = nullptr;
}

}  // namespace quillo
