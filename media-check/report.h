#pragma once

#include "library/media_library.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quillo::check {

// What was found in one library.
struct Report {
    QStringList problems;
    int recordings = 0;
    int pictures = 0;

    // One line: where (a file or folder, may be empty), what in Italian /
    // what in English, then any detail (the libraries speak English).
    void add(const QString& where, const QString& italian, const QString& english, const QString& detail = {});
};

// One line on stdout, in UTF-8.
void printLine(const QString& line);

// A library's report, each line after `label` (empty when only one library
// is checked): its problems and their count in `root`, or that all is good.
// Returns whether all was good.
bool printReport(const Report& report, const QString& label, const QString& root);

// How many pictures each typed character finds (by first character, letter
// case aside), counted in the list Quillo offers, after `heading`.
void printPerLetter(const QList<LibraryPicture>& pictures, const QString& heading);

}  // namespace quillo::check
