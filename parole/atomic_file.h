#pragma once

#include <QByteArray>
#include <QString>

namespace quillo::parole {

// Writes `bytes` beside `path` and renames it over `path`, so that a crash
// leaves the old file or the new one, never half a file. Makes the folder
// when it is missing. False, with an Italian message in *error, when the file
// could not be written; the old file then stays as it was.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// Removes a file named as decodeFileName gives it. True when it is gone.
bool removeFile(const QString& path, QString* error);

}  // namespace quillo::parole
