#include "platform/desktop/composed_keys.h"
#include "platform/desktop/display_system.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QWindow>

#ifdef QUILLO_WAYLAND
#include <qpa/qwindowsysteminterface.h>
#endif

namespace quillo {

ComposedKeys::ComposedKeys(QObject* parent) : QObject(parent)
{
#ifdef QUILLO_WAYLAND
    if (onWayland())
        qGuiApp->installEventFilter(this);
#endif
}

ComposedKeys::~ComposedKeys()
{
    if (qGuiApp != nullptr)
        qGuiApp->removeEventFilter(this);
}

bool ComposedKeys::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
#ifdef QUILLO_WAYLAND
    if (event->type() != QEvent::InputMethod)
        return false;
    // Only a plain commit; an input method still composing (preedit) or
    // replacing text it wrote before keeps its own events.
    const auto* input = static_cast<QInputMethodEvent*>(event);
    const QString text = input->commitString();
    if (text.isEmpty() || !input->preeditString().isEmpty() || input->replacementLength() != 0
        || !input->attributes().isEmpty())
        return false;
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr)
        return false;
    // Qt names a Latin letter's key after its capital, as for a key that
    // carries it (Key_Egrave for è).
    const int key = text.size() == 1 ? int(text.at(0).toUpper().unicode()) : int(Qt::Key_unknown);
    using Queued = QWindowSystemInterface::AsynchronousDelivery;
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, key, Qt::NoModifier, text);
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyRelease, key, Qt::NoModifier, text);
    return true;
#else
    Q_UNUSED(event);
    return false;
#endif
}

}  // namespace quillo
