#pragma once

#include <QString>

namespace quillo {

// The family's own media library, beside the bundled one: the folder that
// holds its own alfabeto/, parole/ and immagini/. It is
// $XDG_DATA_HOME/quillo, by default ~/.local/share/quillo, read afresh on
// every call so that a changed environment counts at once. The folder need
// not exist. Both variables are taken as bytes, as file names are (see
// decodeFileName), so a folder whose name is not UTF-8 is found. A relative
// XDG_DATA_HOME is ignored, and said once; empty when there is no home.
QString userMediaFolder();

}  // namespace quillo
