#pragma once

#include "form/key_codes.h"

class QKeyEvent;

namespace quillo {

// The virtual-key code of a key event, 0 when it has none.
qint16 virtualKeyCode(const QKeyEvent& event);
// The modifier mask of a key event: 1 Shift, 2 Ctrl, 4 Alt.
qint16 modifierMask(const QKeyEvent& event);

}  // namespace quillo
