#include "platform/desktop/shortcuts_inhibitor.h"

#include "platform/base/log.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPlatformSurfaceEvent>
#include <QtWaylandClient/QWaylandClientExtensionTemplate>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <map>

#include "qwayland-keyboard-shortcuts-inhibit-unstable-v1.h"

namespace quillo {

namespace {

// The compositor's zwp_keyboard_shortcuts_inhibit_manager_v1 global.
class InhibitManager final : public QWaylandClientExtensionTemplate<InhibitManager>,
                             public QtWayland::zwp_keyboard_shortcuts_inhibit_manager_v1 {
public:
    InhibitManager() : QWaylandClientExtensionTemplate<InhibitManager>(1) {}
    ~InhibitManager() override
    {
        if (isInitialized())
            destroy();
    }
    InhibitManager(const InhibitManager&) = delete;
    InhibitManager& operator=(const InhibitManager&) = delete;
};

// A seat of our own, bound from the registry: the platform plugin has no
// seat to lend on a compositor without one, and would fail when asked.
class SeatBinding final : public QWaylandClientExtension {
public:
    SeatBinding() : QWaylandClientExtension(1) {}
    ~SeatBinding() override
    {
        if (seat_ != nullptr)
            wl_seat_destroy(seat_);
    }
    SeatBinding(const SeatBinding&) = delete;
    SeatBinding& operator=(const SeatBinding&) = delete;

    const wl_interface* extensionInterface() const override { return &wl_seat_interface; }
    void bind(wl_registry* registry, int id, int) override
    {
        // Its events (capabilities, name) are of no use here and are dropped.
        if (seat_ == nullptr)
            seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, static_cast<uint32_t>(id), &wl_seat_interface, 1));
    }
    wl_seat* seat() const { return seat_; }

private:
    wl_seat* seat_ = nullptr;
};

// One request; the compositor applies it while the surface has the keyboard
// focus, and says when it does and when it lifts it.
class Inhibition final : public QtWayland::zwp_keyboard_shortcuts_inhibitor_v1 {
public:
    Inhibition(::zwp_keyboard_shortcuts_inhibitor_v1* object, std::function<void(bool)> changed)
        : QtWayland::zwp_keyboard_shortcuts_inhibitor_v1(object), changed_(std::move(changed))
    {
    }
    ~Inhibition() override { destroy(); }
    Inhibition(const Inhibition&) = delete;
    Inhibition& operator=(const Inhibition&) = delete;

protected:
    void zwp_keyboard_shortcuts_inhibitor_v1_active() override { changed_(true); }
    void zwp_keyboard_shortcuts_inhibitor_v1_inactive() override { changed_(false); }

private:
    std::function<void(bool)> changed_;
};

// Binds the registry listener now rather than on the next turn of the event
// loop: the globals the compositor announced at connection are all known by
// then, so whether it has one is known at once.
template <typename Extension>
std::unique_ptr<Extension> bound()
{
    auto extension = std::make_unique<Extension>();
    QMetaObject::invokeMethod(extension.get(), "initialize", Qt::DirectConnection);
    return extension;
}

class WaylandShortcutsInhibitor final : public QObject, public ShortcutsInhibitor {
public:
    WaylandShortcutsInhibitor(std::unique_ptr<InhibitManager> manager, std::unique_ptr<SeatBinding> seat)
        : manager_(std::move(manager)), seat_(std::move(seat))
    {
    }
    ~WaylandShortcutsInhibitor() override { release(); }

    bool hold(QWindow* window) override
    {
        if (window == nullptr)
            return false;
        if (held_.find(window) == held_.end()) {
            held_[window];
            window->installEventFilter(this);
            connect(window, &QObject::destroyed, this, [this, window] { held_.erase(window); });
        }
        return apply(window);
    }

    void renew(QWindow* window) override
    {
        if (held_.find(window) == held_.end())
            return;
        drop(window);
        apply(window);
    }

    void release() override
    {
        for (auto& [window, request] : held_) {
            window->removeEventFilter(this);
            disconnect(window, &QObject::destroyed, this, nullptr);
        }
        held_.clear();  // each request goes with its entry
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWindow*>(watched);
        if (held_.find(window) == held_.end())
            return false;
        switch (event->type()) {
        case QEvent::PlatformSurface:
            // The wl_surface goes with the platform window.
            if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType()
                == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
                drop(window);
            break;
        case QEvent::Hide:
            // Hiding destroys the wl_surface, and showing again makes a new one.
            drop(window);
            break;
        case QEvent::Show:
        case QEvent::Expose:
            apply(window);
            break;
        default:
            break;
        }
        return false;
    }

private:
    struct Request {
        wl_surface* surface = nullptr;  // the one inhibition is for
        std::unique_ptr<Inhibition> inhibition;
    };

    static wl_surface* surfaceOf(QWindow* window)
    {
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        if (window == nullptr || window->handle() == nullptr || native == nullptr)
            return nullptr;
        return static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
    }

    // Inhibits for the window's present surface. A second request for the same
    // surface and seat would be a protocol error, so the old one always goes first.
    bool apply(QWindow* window)
    {
        Request& request = held_[window];
        wl_surface* surface = surfaceOf(window);
        if (surface != nullptr && surface == request.surface && request.inhibition != nullptr)
            return true;
        drop(window);
        if (surface == nullptr || !manager_->isActive() || seat_->seat() == nullptr)
            return false;
        request.inhibition = std::make_unique<Inhibition>(
            manager_->inhibit_shortcuts(surface, seat_->seat()), [this, window = QPointer<QWindow>(window)](bool active) {
                if (window != nullptr && changed)
                    changed(window, active);
            });
        request.surface = surface;
        return true;
    }

    void drop(QWindow* window)
    {
        auto found = held_.find(window);
        if (found == held_.end())
            return;
        found->second.inhibition.reset();
        found->second.surface = nullptr;
    }

    std::unique_ptr<InhibitManager> manager_;
    std::unique_ptr<SeatBinding> seat_;
    std::map<QWindow*, Request> held_;
};

}  // namespace

std::unique_ptr<ShortcutsInhibitor> ShortcutsInhibitor::create()
{
    auto manager = bound<InhibitManager>();
    auto seat = bound<SeatBinding>();
    if (!manager->isActive()) {
        qCWarning(lcQuillo, "this Wayland compositor cannot hold off its own shortcuts "
                            "(no keyboard-shortcuts-inhibit): its key bindings stay live while Quillo runs");
        return nullptr;
    }
    if (seat->seat() == nullptr) {
        qCWarning(lcQuillo, "this Wayland compositor has no seat: its shortcuts cannot be held off");
        return nullptr;
    }
    return std::make_unique<WaylandShortcutsInhibitor>(std::move(manager), std::move(seat));
}

}  // namespace quillo
