#pragma once

#include <QLoggingCategory>

namespace quillo {

// Everything Quillo tells the adult goes to stderr through this one category,
// "quillo". It is on by default; QT_LOGGING_RULES="quillo.warning=false"
// silences it.
Q_DECLARE_LOGGING_CATEGORY(lcQuillo)

// A sentence said through lcQuillo, in the program's language: the shared
// code says it in English, and a program that speaks another (the parents'
// window) installs a QTranslator for the context "quillo". ENGLISH is the
// sentence's key and its English text, with %1, %2 for its parts.
QString logText(const char* english);

}  // namespace quillo
