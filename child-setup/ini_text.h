#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace quillo::child {

// Sets KEYS in SECTION of an INI-like file's TEXT, keeping every other line
// and comment as it was: a key set in the section is replaced where it
// stands, the others go in just after the section's header, and a missing
// section is added at the end.
QByteArray setIniKeys(const QByteArray& text, const QString& section,
                      const QList<QPair<QString, QString>>& keys);

// The value of KEY in SECTION (any of SECTIONS when several names mean the
// same), or a null string when no line of it sets the key (commented-out
// lines set nothing).
QString iniValue(const QByteArray& text, const QStringList& sections, const QString& key);

}  // namespace quillo::child
