#include "library/picture_list.h"

#include "platform/base/failure.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "library/media_library.h"

#include <QDir>
#include <QFileInfo>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quillo {

namespace {

// Folders of fewer pictures leave too little behind to be worth it.
constexpr qsizetype kTrimAfter = 5000;

}  // namespace

void PictureList::setLibrary(MediaLibrary& library)
{
    const QString folder = folderIn(library.bundled(), LibraryFolder::Pictures);
    if (!QFileInfo(folder).isDir())
        throw Failure(QStringLiteral("path not found: %1").arg(folder));
    library_ = &library;
    folder_ = folder;
    reread();
}

QString PictureList::usedUserFolder()
{
    const QStringList& folders = library_->folders(LibraryFolder::Pictures);
    return folders.size() > 1 ? folders.first() : QString();
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

bool PictureList::foldersChanged()
{
    // Whether the user's folder is used is the library's to judge.
    const QString user = usedUserFolder();
    return !listing_.unchanged(folder_) || user != userFolder_ || (!user.isEmpty() && !userListing_.unchanged(user));
}

const QStringList& PictureList::everyName()
{
    const QStringList& bound = listing_.names(folder_);
    userFolder_ = usedUserFolder();
    static const QStringList none;
    const QStringList& own = userFolder_.isEmpty() ? none : userListing_.names(userFolder_);
    // A folder left out counts as a reading of its own, of no names.
    const std::uint64_t readings[2] = {listing_.readings(), userFolder_.isEmpty() ? 0 : userListing_.readings()};
    if (readings[0] == unionOf_[0] && readings[1] == unionOf_[1])
        return union_;

    union_.clear();
    unionUsers_.clear();
    // No name is left twice (two pictures of one name are one word), so the
    // name alone tells the folder.
    for (const LibraryPicture& picture : mergePictures(own, bound)) {
        union_.append(picture.name);
        if (picture.own)
            unionUsers_.insert(picture.name);
    }
    unionOf_[0] = readings[0];
    unionOf_[1] = readings[1];
#if defined(__GLIBC__)
    // Reading a large folder leaves the heap full of freed sort keys among
    // the names kept; give their pages back rather than hold them for good.
    if (union_.size() > kTrimAfter)
        malloc_trim(0);
#endif
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
    return (unionUsers_.contains(name) ? userFolder_ : folder_) + name;
}

}  // namespace quillo
