#pragma once

#include "report.h"

#include <QString>

namespace quillo::check {

// The recordings every library needs: a to z, 0 to 9, the shared sounds and
// the praise. `letters` or `words` empty: that folder is missing, which is
// said already.
void checkRequiredRecordings(Report& report, const QString& letters, const QString& words);

// What the player does with each recording of a folder, through its own
// decoder, judged as for a device at 48 kHz stereo in 32-bit float.
void checkRecordings(Report& report, const QString& folderName, const QString& folder);

}  // namespace quillo::check
