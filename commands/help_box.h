#pragma once

#include <QString>

class QWidget;

namespace quillo {

class MessageBox;

inline const QString kHelpTitle = QStringLiteral("QUILLO TINDO");

// The sixteen lines of the help box, each ending in a line feed; with
// --hold-to-quit a seventeenth says how to quit.
QString helpText(bool holdToQuit = false);
// F1: the help box, modal over `parent`; `holdToQuit` as the quit keys work
// (--hold-to-quit).
void showHelpBox(MessageBox& messages, QWidget* parent, bool holdToQuit);

}  // namespace quillo
