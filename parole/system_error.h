#pragma once

#include <QString>

namespace quillo::parole {

// The common reasons a file cannot be read or written, in Italian, for the
// parent: not found, not a folder, no permission, disk full, read-only,
// busy. Anything else is "un errore del sistema". The system's own text goes to stderr,
// for a bug report, and never into the sentence.

// `what` (a sentence without its full stop, such as "Non riesco a scrivere
// X") followed by the reason of `errorNumber`.
QString fileProblem(const QString& what, int errorNumber, const QString& raw = {});

// The same, from the text of a failed QFile, QSaveFile or QImageReader
// (errorString()), whose error number is gone.
QString fileProblem(const QString& what, const QString& errorString);

// The reason alone, such as "non hai il permesso"; empty for an unknown one.
QString reasonOf(int errorNumber);

// The error number whose system text `errorString` is, or 0.
int errorNumberOf(const QString& errorString);

// `what` followed by the reason that the file is not a regular file (a pipe,
// a device, a socket), which is never opened.
QString notARegularFile(const QString& what);

QString cannotCreateFolder(const QString& folder);

}  // namespace quillo::parole
