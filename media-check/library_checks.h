#pragma once

#include "report.h"

#include <QString>

namespace quillo::check {

// Everything about one library (a folder holding alfabeto/, parole/ and
// immagini/), as Quillo would meet it there: every folder required.
Report checkLibrary(const QString& library);

// The user's own library at `own`, beside the bundled one at `bundled`:
// nothing is required of it, and a picture of it may have its word recorded
// in either library. A folder Quillo leaves out is said, with why.
Report checkOwnLibrary(const QString& own, const QString& bundled);

}  // namespace quillo::check
