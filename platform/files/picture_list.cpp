#include "platform/files/picture_list.h"

#include "platform/base/failure.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/media_library.h"

#include <QDir>
#include <QFileInfo>

namespace quillo {

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
    if (pattern != pattern_) {
        pattern_ = pattern;
        reread();
        return;
    }
    if (folder_.isEmpty() || !foldersChanged())
        return;
    // A picture added or taken away counts from the next key; the selection
    // stays on its picture while that is listed.
    const QString selected = fileName();
    reread();
    selected_ = selected.isEmpty() ? -1 : int(names_.indexOf(selected));
}

bool PictureList::foldersChanged() const
{
    return !listing_.unchanged(folder_) || (!userFolder_.isEmpty() && !userListing_.unchanged(userFolder_));
}

const QStringList& PictureList::everyName()
{
    const QStringList& bound = listing_.names(folder_);
    if (userFolder_.isEmpty()) {
        userUsable_ = false;
    } else if (!userListing_.unchanged(userFolder_)) {
        // Judged again only when it has changed: a fault is said once.
        userUsable_ = usableOrSaid(userFolder_);
        if (userUsable_)
            userListing_.names(userFolder_);
        else
            userListing_.skip(userFolder_);
    }
    const std::uint64_t readings[2] = {listing_.readings(), userUsable_ ? userListing_.readings() : 0};
    if (readings[0] == unionOf_[0] && readings[1] == unionOf_[1])
        return union_;

    static const QStringList none;
    union_.clear();
    unionUsers_.clear();
    // No name is left twice (two pictures of one name are one word), so the
    // name alone tells the folder.
    for (const LibraryPicture& picture : mergePictures(userUsable_ ? userListing_.names(userFolder_) : none, bound)) {
        union_.append(picture.name);
        if (picture.own)
            unionUsers_.insert(picture.name);
    }
    unionOf_[0] = readings[0];
    unionOf_[1] = readings[1];
    return union_;
}

void PictureList::reread()
{
    names_ = folder_.isEmpty() ? QStringList{} : filterMatching(everyName(), pattern_);
    selected_ = -1;
}

void PictureList::forget(const QString& name)
{
    names_.removeAll(name);
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
    return QDir(unionUsers_.contains(name) ? userFolder_ : folder_).filePath(name);
}

}  // namespace quillo
