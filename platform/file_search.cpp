#include "platform/file_search.h"

#include "platform/wildcard.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>

namespace quillo {

namespace {

const QCollator& italianCollator()
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Italian, QLocale::Italy)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

QStringList plainFiles(const QString& folder)
{
    // No QDir name filter: it would read '[' as a character class.
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
}

}  // namespace

void sortFileNames(QStringList& names)
{
    const QCollator& collator = italianCollator();
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;  // a stable, total order for names equal but for case
    });
}

QStringList listMatchingFiles(const QString& folder, const QString& pattern)
{
    const QRegularExpression rx = wildcardExpression(pattern);
    QStringList names;
    for (const QString& name : plainFiles(folder)) {
        if (rx.match(name).hasMatch())
            names.append(name);
    }
    sortFileNames(names);
    return names;
}

QString findFirstFile(const QString& folder, const QString& pattern, bool wildcards)
{
    if (!isPortableFileName(pattern))
        return {};
    if (!wildcards && hasWildcards(pattern)) {
        // Literal '*' and '?': match by case-blind equality.
        QStringList names;
        for (const QString& name : plainFiles(folder)) {
            if (name.compare(pattern, Qt::CaseInsensitive) == 0)
                names.append(name);
        }
        if (names.contains(pattern))
            return pattern;
        sortFileNames(names);
        return names.value(0);
    }
    if (!hasWildcards(pattern)) {
        const QFileInfo exact(QDir(folder).filePath(pattern));
        if (exact.isFile() && !exact.isHidden())
            return pattern;
    }
    const QStringList names = listMatchingFiles(folder, pattern);
    return names.value(0);
}

}  // namespace quillo
