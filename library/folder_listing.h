#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillo {

// The sorted names of the plain files of one folder (as listMatchingFiles
// gives them for "*.*"), read again whenever the folder has changed since the
// last reading: a file added, removed or renamed shows at the next call. Only
// the folder's own time stamps are checked between readings, so asking again
// costs one stat instead of a listing.
//
// This is the one cache the picture list keeps, because a measurement needs
// it: with 10,000 pictures, reading, decoding and sorting the folder anew at
// each new letter took about 9 ms a key (bench_keystroke), against 0.5 ms
// with the listing kept.
class FolderListing {
public:
    const QStringList& names(const QString& folder);
    // Whether the folder looks as it did at the last reading: one stat. A
    // folder that was not there and still is not is unchanged.
    bool unchanged(const QString& folder) const;
    // Counts the readings: it changes whenever names() has read the folder anew.
    std::uint64_t readings() const { return readings_; }

private:
    struct Stamp {
        std::uint64_t device = 0, inode = 0;
        std::int64_t modifiedSec = 0, modifiedNsec = 0, changedSec = 0, changedNsec = 0;
        bool operator==(const Stamp&) const = default;
    };
    static bool stampOf(const QString& folder, Stamp* stamp);

    QString folder_;
    Stamp stamp_;
    bool stamped_ = false;  // the folder could be stat'ed at the last reading
    bool trusted_ = false;
    QStringList names_;
    std::uint64_t readings_ = 0;
};

}  // namespace quillo
