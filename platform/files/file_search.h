#pragma once

#include <QString>
#include <QStringList>

namespace quillo {

// The plain files of a folder (no hidden files, no folders, nothing special)
// whose names match a wildcard pattern, sorted as an Italian reader expects:
// letter case ignored, accented letters beside their plain ones, numbers by value.
// Names are given as decodeFileName makes them, so that each opens its own
// file whatever its bytes; they are matched and sorted in their readable form.
QStringList listMatchingFiles(const QString& folder, const QString& pattern);

// The names of a sorted list that match a wildcard pattern, in their order.
QStringList filterMatching(const QStringList& names, const QString& pattern);

// Sorts names in that same order.
void sortFileNames(QStringList& names);
// Whether `a` comes before `b` in that order: to place a few names among
// many already sorted without sorting them all again.
bool fileNameBefore(const QString& a, const QString& b);

// The name (without folder) of the first file of `folder` that matches
// `pattern`, or an empty string when none does. A name that differs from the
// pattern only in letter case is found too; when several do, the exact spelling
// wins, then the first in sorted order. A pattern with a character that cannot
// be part of a file name finds nothing. With `wildcards` false, '*' and '?'
// stand for themselves. A name that is not UTF-8 is matched in its readable
// form, so a Latin-1 "\xe8.wav" is found for "è.wav" (after a UTF-8 one).
QString findFirstFile(const QString& folder, const QString& pattern, bool wildcards = true);

}  // namespace quillo
