#pragma once

#include <QString>

namespace quillo::parole {

// How quillo-parole is called, in a few lines: said after a usage mistake.
QString usageText();

// What --help prints: every command and option, what each does, and the
// exit statuses.
QString helpText();

}  // namespace quillo::parole
