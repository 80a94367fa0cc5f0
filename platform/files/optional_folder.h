#pragma once

#include <QString>

namespace quillo {

// Whether a folder that may be missing, such as one of the user's own media
// library, can be listed. A missing folder is no error and is not said. One
// that is there but is no folder (a file, a FIFO), cannot be read, or sits in
// a loop of links is said once on stderr, with the path at fault, and counts
// as missing; the same fault reached through several folders below it (a
// file where their common parent should be) is said once for all. Every call
// looks afresh, so a folder that appears or is mended counts at once.
bool usableOptionalFolder(const QString& folder);

}  // namespace quillo
