#pragma once

#include <QLoggingCategory>

namespace quillo {

// Everything Quillo tells the adult goes to stderr through this one category,
// "quillo". It is on by default; QT_LOGGING_RULES="quillo.warning=false"
// silences it.
Q_DECLARE_LOGGING_CATEGORY(lcQuillo)

}  // namespace quillo
