#pragma once

#include "form/look.h"

namespace quillo {

// Alt+F1's look: the built-in one (Arial 48, black on white, word mode on).
// The corners, their outlines and the store are left alone.
void LoadBaseDefaults(const LookParts& parts);

}  // namespace quillo
