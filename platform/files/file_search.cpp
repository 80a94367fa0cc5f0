#include "platform/files/file_search.h"

#include "platform/files/file_name.h"
#include "platform/files/wildcard.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

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

bool matchesEverything(const QString& pattern)
{
    return pattern == kEveryFile || pattern == QLatin1String("*");
}

// The names of the plain files of a folder (no hidden files, no folders,
// nothing special; links to plain files count) whose readable form `wanted`
// accepts. readdir rather than QDir: QDir leaves out the names that are not
// UTF-8, and it stats every entry, which costs more than the rest of a
// listing; readdir gives most entries' type with the name.
QStringList plainFiles(const QString& folder, const std::function<bool(const QString&)>& wanted)
{
    QStringList names;
    const QByteArray path = encodeFileName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;  // hidden, and . and ..
        QString name = decodeFileName(entry->d_name);
        if (!wanted(readableFileName(name)))
            continue;
        bool plain = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            plain = ::stat((path + '/' + entry->d_name).constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (plain)
            names.append(std::move(name));
    }
    ::closedir(dir);
    return names;
}

}  // namespace

void sortFileNames(QStringList& names)
{
    // One collation key per name, then byte comparisons: far cheaper than
    // collating the names themselves at every comparison.
    struct Entry {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Entry> entries;
    entries.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        entries.push_back({italianCollator().sortKey(readableFileName(names.at(i))), i});
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int byKey = a.key.compare(b.key);
        // A stable, total order for names equal but for case.
        return byKey != 0 ? byKey < 0 : names.at(a.index) < names.at(b.index);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& e : entries)
        sorted.append(std::move(names[e.index]));
    names = std::move(sorted);
}

bool fileNameBefore(const QString& a, const QString& b)
{
    // A collator's comparison agrees with its sort keys' (ICU promises it).
    const int byCollator = italianCollator().compare(readableFileName(a), readableFileName(b));
    return byCollator != 0 ? byCollator < 0 : a < b;
}

QStringList listMatchingFiles(const QString& folder, const QString& pattern)
{
    QStringList names;
    if (matchesEverything(pattern)) {
        names = plainFiles(folder, [](const QString&) { return true; });
    } else {
        const QRegularExpression rx = wildcardExpression(pattern);
        names = plainFiles(folder, [&rx](const QString& name) { return rx.match(name).hasMatch(); });
    }
    sortFileNames(names);
    return names;
}

QStringList filterMatching(const QStringList& names, const QString& pattern)
{
    if (matchesEverything(pattern))
        return names;
    // The typing handler's pattern, a character followed by "*.*": a plain
    // prefix test, far cheaper than an expression for every name.
    const QString prefix = pattern.chopped(std::min<qsizetype>(pattern.size(), 3));
    const bool byPrefix = pattern.endsWith(kEveryFile) && !prefix.isEmpty() && !hasWildcards(prefix);
    const QRegularExpression rx = byPrefix ? QRegularExpression() : wildcardExpression(pattern);
    QStringList matching;
    for (const QString& name : names) {
        const QString readable = readableFileName(name);
        if (byPrefix ? readable.startsWith(prefix, Qt::CaseInsensitive) : rx.match(readable).hasMatch())
            matching.append(name);
    }
    return matching;
}

QString findFirstFile(const QString& folder, const QString& given, bool wildcards)
{
    // A name taken from a listing may hold stray bytes: look for it as read.
    const QString pattern = readableFileName(given);
    if (!isPortableFileName(pattern))
        return {};
    if (!wildcards && hasWildcards(pattern)) {
        // Literal '*' and '?': match by case-blind equality.
        QStringList names = plainFiles(folder, [&pattern](const QString& name) {
            return name.compare(pattern, Qt::CaseInsensitive) == 0;
        });
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
    return listMatchingFiles(folder, pattern).value(0);
}

}  // namespace quillo
