#include "report.h"

#include "name_rules.h"

#include "platform/files/file_name.h"

#include <QMap>

#include <cstdio>

namespace quillo::check {

void Report::add(const QString& where, const QString& italian, const QString& english, const QString& detail)
{
    QString line = where.isEmpty() ? QString() : where + QStringLiteral(": ");
    line += italian + QStringLiteral(" / ") + english;
    if (!detail.isEmpty())
        line += QStringLiteral(" (") + detail + u')';
    problems.append(line);
}

void printLine(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

bool printReport(const Report& report, const QString& label, const QString& root)
{
    for (const QString& line : report.problems)
        printLine(label + line);
    if (!report.problems.isEmpty()) {
        printLine(label + QStringLiteral("problemi: %1 in %2 / problems: %1 in %2").arg(report.problems.size()).arg(shown(root)));
        return false;
    }
    printLine(label + QStringLiteral("tutto a posto / all good: %1 recordings, %2 pictures").arg(report.recordings).arg(report.pictures));
    return true;
}

void printPerLetter(const QList<LibraryPicture>& pictures, const QString& heading)
{
    QMap<QString, int> byLetter;
    for (const LibraryPicture& picture : pictures)
        ++byLetter[readableFileName(picture.name).left(1).toLower()];
    QStringList counts;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(shown(it.key())).arg(it.value());
    if (!counts.isEmpty())
        printLine(heading + QStringLiteral(": ") + counts.join(QStringLiteral(", ")));
}

}  // namespace quillo::check
