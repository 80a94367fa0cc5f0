#pragma once

namespace quillo::parole {

// Loads Qt's own Italian translation (qtbase_it.qm, from Debian's
// qt6-translations-l10n), so that the dialogs Qt draws (the file dialog,
// the standard buttons) speak Italian like the rest of the window, whatever
// locale the session has or lacks. Says on stderr when it is missing.
// Call it once the application object exists.
bool installItalian();

// Makes Qt's own dates, sizes and numbers Italian (the file dialog's
// columns), whatever the session's language. Call it before the
// application object is made.
void useItalianLocale();

}  // namespace quillo::parole
