#pragma once

#include <QString>

namespace quillo {

class Form;

inline const QString kHelpTitle = QStringLiteral("QUILLO TINDO");

// The sixteen lines of the help box, each ending in a line feed; with
// --hold-to-quit a seventeenth says how to quit.
QString helpText(bool holdToQuit = false);
// F1: the help box, modal.
void showHelpBox(Form& form);

}  // namespace quillo
