#include "platform/files/picture_list.h"

#include "platform/base/failure.h"
#include "platform/files/file_search.h"

#include <QFileInfo>

namespace quillo {

void PictureList::setFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw Failure(QStringLiteral("path not found: %1").arg(folder));
    folder_ = folder;
    reread();
}

void PictureList::setPattern(const QString& pattern)
{
    if (pattern == pattern_)
        return;
    pattern_ = pattern;
    reread();
}

void PictureList::reread()
{
    names_ = folder_.isEmpty() ? QStringList{} : filterMatching(listing_.names(folder_), pattern_);
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

}  // namespace quillo
