#include "platform/files/picture_list.h"

#include "platform/base/failure.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/optional_folder.h"

#include <QDir>
#include <QFileInfo>

namespace quillo {

namespace {

// What makes two pictures the same word: the name less its last four
// characters, letter case aside. A name too short for a word stands for itself.
QString sameWordKey(const QString& name)
{
    const QString readable = readableFileName(name);
    return (readable.size() > 4 ? readable.chopped(4) : readable).toCaseFolded();
}

}  // namespace

void PictureList::setFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw Failure(QStringLiteral("path not found: %1").arg(folder));
    folder_ = folder;
    reread();
}

void PictureList::setUserFolder(const QString& folder)
{
    userFolder_ = folder;
    reread();
}

void PictureList::setPattern(const QString& pattern)
{
    if (pattern == pattern_)
        return;
    pattern_ = pattern;
    reread();
}

const QStringList& PictureList::everyName()
{
    fromUnion_ = false;
    const QStringList& bound = listing_.names(folder_);
    if (userFolder_.isEmpty() || !usableOptionalFolder(userFolder_))
        return bound;
    const QStringList& users = userListing_.names(userFolder_);
    if (users.isEmpty())
        return bound;
    fromUnion_ = true;
    const std::uint64_t readings[2] = {listing_.readings(), userListing_.readings()};
    if (readings[0] == unionOf_[0] && readings[1] == unionOf_[1])
        return union_;

    QSet<QString> usersWords;
    for (const QString& name : users)
        usersWords.insert(sameWordKey(name));
    union_ = users;
    for (const QString& name : bound) {
        if (!usersWords.contains(sameWordKey(name)))
            union_.append(name);
    }
    sortFileNames(union_);
    // No bound name is left with the same word as a user's, so no name is
    // left twice: the name alone tells the folder.
    unionUsers_ = QSet<QString>(users.cbegin(), users.cend());
    unionOf_[0] = readings[0];
    unionOf_[1] = readings[1];
    return union_;
}

void PictureList::reread()
{
    names_ = folder_.isEmpty() ? QStringList{} : filterMatching(everyName(), pattern_);
    selected_ = -1;
}

void PictureList::setSelectedIndex(int index)
{
    if (index < -1 || index >= count())
        throw Failure(QStringLiteral("invalid picture list index %1 (%2 entries)").arg(index).arg(count()));
    selected_ = index;
}

QString PictureList::fileName() const
{
    return selected_ >= 0 ? names_.at(selected_) : QString();
}

QString PictureList::filePath() const
{
    return selected_ >= 0 ? pathOf(names_.at(selected_)) : QString();
}

QString PictureList::pathOf(const QString& name) const
{
    return QDir(fromUnion_ && unionUsers_.contains(name) ? userFolder_ : folder_).filePath(name);
}

}  // namespace quillo
