#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace quillo {

// The lines of an INI file that QSettings can take without them changing the
// meaning of other lines. QSettings reads on past a damaged line: a quote
// left open or a backslash at the end joins the lines after it to it, and a
// line of junk that starts with '[' opens a section, so the keys after the
// damage land in another section, or in none, and its status may still say
// NoError. A line is kept when it is blank, a ';' comment, a section header
// "[name]", or "key=value" with its quotes closed, in UTF-8 without control
// characters; a header without its closing bracket gets it back, as
// QSettings reads it; every other line is left out.
struct IniLines {
    QByteArray kept;       // the kept lines, one '\n' after each
    int leftOut = 0;       // lines that are none of these, or were mended
    int firstLeftOut = 0;  // the number of the first of them, from 1
};

IniLines iniLines(QByteArrayView data);

}  // namespace quillo
