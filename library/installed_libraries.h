#pragma once

#include "library/media_library.h"

namespace quillo {

// The two libraries as this machine has them, found the same way by Quillo
// and both helpers: the bundled one in the folder of the running program,
// and the family's own (userMediaFolder(), read afresh).
MediaLibrary installedLibraries();

}  // namespace quillo
