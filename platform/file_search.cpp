#include "platform/file_search.h"

#include "platform/wildcard.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <sys/stat.h>
#endif

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

// The names of the plain files of a folder (no hidden files, no folders,
// nothing special; links to plain files count) that `wanted` accepts.
QStringList plainFiles(const QString& folder, const std::function<bool(const QString&)>& wanted)
{
    QStringList names;
#if defined(Q_OS_UNIX)
    // readdir gives most entries' type with the name: only links and entries
    // of unknown type need a stat, and only when their name is wanted. QDir
    // stats every entry, which costs more than the rest of a listing.
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;  // hidden, and . and ..
        const QString name = QFile::decodeName(entry->d_name);
        if (!wanted(name))
            continue;
        bool plain = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            plain = ::stat((path + '/' + entry->d_name).constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (plain)
            names.append(name);
    }
    ::closedir(dir);
#else
    // No QDir name filter: it would read '[' as a character class.
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort)) {
        if (wanted(name))
            names.append(name);
    }
#endif
    return names;
}

QStringList plainFiles(const QString& folder)
{
    return plainFiles(folder, [](const QString&) { return true; });
}

// The collation keys of names, in their order. Keys of names seen before are
// kept: word mode re-reads the picture folder at every letter, and making
// 10,000 keys costs more than listing the folder. The store is emptied
// before it grows large, never while the keys handed out are in use.
std::vector<const QCollatorSortKey*> sortKeysOf(const QStringList& names)
{
    thread_local std::unordered_map<QString, QCollatorSortKey> store;
    if (store.size() + std::size_t(names.size()) > 100000)
        store.clear();
    std::vector<const QCollatorSortKey*> keys;
    keys.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        auto found = store.find(name);
        if (found == store.end())
            found = store.emplace(name, italianCollator().sortKey(name)).first;
        keys.push_back(&found->second);
    }
    return keys;
}

}  // namespace

void sortFileNames(QStringList& names)
{
    // One collation key per name, then byte comparisons: far cheaper than
    // collating the names themselves at every comparison.
    const std::vector<const QCollatorSortKey*> keys = sortKeysOf(names);
    std::vector<qsizetype> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = qsizetype(i);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int byKey = keys[std::size_t(a)]->compare(*keys[std::size_t(b)]);
        return byKey != 0 ? byKey < 0 : names.at(a) < names.at(b);  // a stable, total order for names equal but for case
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order)
        sorted.append(std::move(names[i]));
    names = std::move(sorted);
}

QStringList listMatchingFiles(const QString& folder, const QString& pattern)
{
    QStringList names;
    if (pattern == kEveryFile || pattern == QLatin1String("*")) {
        names = plainFiles(folder);  // every name: no need to match each one
    } else {
        const QRegularExpression rx = wildcardExpression(pattern);
        names = plainFiles(folder, [&rx](const QString& name) { return rx.match(name).hasMatch(); });
    }
    sortFileNames(names);
    return names;
}

QStringList filterMatching(const QStringList& names, const QString& pattern)
{
    if (pattern == kEveryFile || pattern == QLatin1String("*"))
        return names;
    // The typing handler's pattern, a character followed by "*.*": a plain
    // prefix test, far cheaper than an expression for every name.
    const QString prefix = pattern.chopped(std::min<qsizetype>(pattern.size(), 3));
    if (pattern.endsWith(kEveryFile) && !prefix.isEmpty() && !hasWildcards(prefix)) {
        QStringList matching;
        for (const QString& name : names) {
            if (name.startsWith(prefix, Qt::CaseInsensitive))
                matching.append(name);
        }
        return matching;
    }
    const QRegularExpression rx = wildcardExpression(pattern);
    QStringList matching;
    for (const QString& name : names) {
        if (rx.match(name).hasMatch())
            matching.append(name);
    }
    return matching;
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
