#pragma once

#include <QObject>

namespace quillo {

// Keeps letters that the input method composes (a dead grave and then e
// make è) in line with the keys typed before them. On Wayland the input
// method composes as the compositor's key events come in, even while a
// recording plays and the earlier keys still wait their turn, and its letter
// would reach the sheet first and with no sound. Each such letter goes into
// the same queue as the keys instead, as a key press with its text, which is
// what a keyboard with that letter on a key sends. Elsewhere the input method
// already works in line with the keys, and this does nothing.
class ComposedKeys final : public QObject {
    Q_OBJECT
public:
    explicit ComposedKeys(QObject* parent = nullptr);
    ~ComposedKeys() override;
    ComposedKeys(const ComposedKeys&) = delete;
    ComposedKeys& operator=(const ComposedKeys&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quillo
