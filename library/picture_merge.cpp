// The pictures of the user's and the bundled library put together
// (mergePictures). Both listings come sorted, and the bundled one may hold
// a hundred thousand names: each word is found by a hash of its key, and the
// user's few pictures are placed among the bundled ones by binary search, so
// nothing is sorted again and no string is kept per name.
#include "library/media_library.h"

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace quillo {

namespace {

// What makes two pictures the same word: their word, letter case aside. A
// name too short for a word stands for itself.
QString sameWordKey(const QString& name)
{
    const QString word = wordOfPicture(name);
    return (word.isEmpty() ? readableFileName(name) : word).toCaseFolded();
}

struct HashedWord {
    size_t hash;
    qsizetype index;
    bool operator<(const HashedWord& other) const
    {
        return hash != other.hash ? hash < other.hash : index < other.index;
    }
};

// One list's words: each name's key hashed, ordered by hash, then by the
// name's place in the list.
class Words {
public:
    explicit Words(const QStringList& names) : names_(names), first_(std::size_t(names.size()), true)
    {
        byHash_.reserve(std::size_t(names.size()));
        for (qsizetype i = 0; i < names.size(); ++i)
            byHash_.push_back({qHash(sameWordKey(names.at(i))), i});
        std::sort(byHash_.begin(), byHash_.end());
        // Of the names of one word, the first in the list counts. Names of
        // one hash are compared by their keys; their words almost always
        // differ only in hash collisions, so the counted ones are few.
        for (auto run = byHash_.begin(); run != byHash_.end();) {
            const auto end = std::find_if(run, byHash_.end(), [&](const HashedWord& w) { return w.hash != run->hash; });
            for (auto later = run + 1; later < end; ++later) {
                const QString key = sameWordKey(names.at(later->index));
                for (auto earlier = run; earlier < later; ++earlier) {
                    if (first_[std::size_t(earlier->index)] && sameWordKey(names.at(earlier->index)) == key) {
                        first_[std::size_t(later->index)] = false;
                        break;
                    }
                }
            }
            run = end;
        }
    }

    // Whether the name at `index` is the first of its word.
    bool counts(qsizetype index) const { return first_[std::size_t(index)]; }

    // The place of the counted name of `key`'s word, or -1.
    qsizetype find(const QString& key) const
    {
        const size_t hash = qHash(key);
        auto at = std::lower_bound(byHash_.begin(), byHash_.end(), HashedWord{hash, 0});
        for (; at != byHash_.end() && at->hash == hash; ++at) {
            if (counts(at->index) && sameWordKey(names_.at(at->index)) == key)
                return at->index;
        }
        return -1;
    }

private:
    const QStringList& names_;
    std::vector<HashedWord> byHash_;
    std::vector<bool> first_;
};

}  // namespace

QList<LibraryPicture> mergePictures(const QStringList& own, const QStringList& bundled)
{
    const Words bundledWords(bundled);
    std::vector<bool> replaced(std::size_t(bundled.size()), false);
    QList<LibraryPicture> mine;
    if (!own.isEmpty()) {
        const Words ownWords(own);
        for (qsizetype i = 0; i < own.size(); ++i) {
            if (!ownWords.counts(i))
                continue;
            // A user's picture takes the place of the bundled one of its word.
            const qsizetype same = bundledWords.find(sameWordKey(own.at(i)));
            if (same >= 0)
                replaced[std::size_t(same)] = true;
            mine.append(LibraryPicture{own.at(i), true, same >= 0});
        }
    }

    QList<LibraryPicture> merged;
    merged.reserve(bundled.size() + mine.size());
    qsizetype next = 0;  // the first bundled name not yet placed
    auto placeBundledBefore = [&](qsizetype end) {
        for (; next < end; ++next) {
            if (bundledWords.counts(next) && !replaced[std::size_t(next)])
                merged.append(LibraryPicture{bundled.at(next), false, true});
        }
    };
    for (const LibraryPicture& picture : std::as_const(mine)) {
        const auto at = std::lower_bound(bundled.begin() + next, bundled.end(), picture.name,
                                         [](const QString& name, const QString& wanted) { return fileNameBefore(name, wanted); });
        placeBundledBefore(at - bundled.begin());
        merged.append(picture);
    }
    placeBundledBefore(bundled.size());
    return merged;
}

}  // namespace quillo
