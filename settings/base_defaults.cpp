#include "settings/base_defaults.h"

#include "settings/stored_look.h"

namespace quillo {

void LoadBaseDefaults(const LookParts& parts)
{
    Look look = builtInLook();
    look.corner = parts.corners.radius;
    showLook(parts, look, Outlines::AsTheyAre);
}

}  // namespace quillo
