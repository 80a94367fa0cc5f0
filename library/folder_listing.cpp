#include "library/folder_listing.h"

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/wildcard.h"

#include <QFile>

#include <chrono>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace quillo {

namespace {

// File systems stamp changes with a coarse clock (a few milliseconds). A
// folder changed this recently may change again under the same stamp, so a
// listing taken that soon after a change is not trusted for the next call.
constexpr std::int64_t kStampSettleNs = 100'000'000;

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool FolderListing::stampOf(const QString& folder, Stamp* stamp)
{
#if defined(Q_OS_UNIX)
    struct stat info {};
    if (::stat(encodeFileName(folder).constData(), &info) != 0)
        return false;
    stamp->device = std::uint64_t(info.st_dev);
    stamp->inode = std::uint64_t(info.st_ino);
    stamp->modifiedSec = info.st_mtim.tv_sec;
    stamp->modifiedNsec = info.st_mtim.tv_nsec;
    stamp->changedSec = info.st_ctim.tv_sec;
    stamp->changedNsec = info.st_ctim.tv_nsec;
    return true;
#else
    Q_UNUSED(folder);
    Q_UNUSED(stamp);
    return false;  // no reliable stamp: read the folder every time
#endif
}

const QStringList& FolderListing::names(const QString& folder)
{
    Stamp now;
    const bool stamped = stampOf(folder, &now);
    if (stamped && trusted_ && folder == folder_ && now == stamp_)
        return names_;

    folder_ = folder;
    stamp_ = now;
    stamped_ = stamped;
    names_ = listMatchingFiles(folder, kEveryFile);
    ++readings_;
    const std::int64_t latestChange = std::max(now.modifiedSec * 1'000'000'000 + now.modifiedNsec,
                                               now.changedSec * 1'000'000'000 + now.changedNsec);
    trusted_ = stamped && nowNs() - latestChange > kStampSettleNs;
    return names_;
}

bool FolderListing::unchanged(const QString& folder) const
{
    Stamp now;
    const bool stamped = stampOf(folder, &now);
    if (folder != folder_)
        return false;
    if (!stamped || !stamped_)
        return stamped == stamped_;
    return trusted_ && now == stamp_;
}

}  // namespace quillo
