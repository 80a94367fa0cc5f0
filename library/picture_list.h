#pragma once

#include "library/folder_listing.h"
#include "platform/files/wildcard.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillo {

class MediaLibrary;

// The hidden list of picture file names: the pictures of a media library
// that match a wildcard pattern, sorted, with one selected entry (-1 when
// none). The library's folders of pictures are the bundled one and, when the
// library judges it usable, the user's: the list is then the union of both,
// sorted together, each word once (see mergePictures).
class PictureList {
public:
    // Binds the list to a library, held by reference, and reads it. Throws
    // Failure when the bundled library has no folder of pictures (the
    // user's need not exist). Leaves no entry selected.
    void setLibrary(MediaLibrary& library);
    // The bundled folder of pictures bound, empty when none.
    const QString& folder() const { return folder_; }

    // A different pattern re-reads the folders and clears the selection.
    // The pattern already held changes nothing, unless a folder has changed
    // since it was read (one stat a folder): then the folders are read anew,
    // and the selected picture stays selected while it is still listed.
    void setPattern(const QString& pattern);
    const QString& pattern() const { return pattern_; }

    // Leaves a picture that has gone out of the list, and the selection
    // with it, until the folders are read again.
    void forget(const QString& name);

    int count() const { return static_cast<int>(names_.size()); }
    int selectedIndex() const { return selected_; }
    // Selects an entry; -1 selects none. Throws Failure outside 0..count-1.
    void setSelectedIndex(int index);
    // The selected entry's name, empty when none is selected.
    QString fileName() const;
    // The selected entry's path in whichever folder holds it, empty when
    // none is selected.
    QString filePath() const;
    // The path of a listed name in whichever folder holds it; a name not
    // listed is taken as the bound folder's.
    QString pathOf(const QString& name) const;
    const QStringList& names() const { return names_; }

private:
    void reread();
    bool foldersChanged();
    // The user's folder of pictures when the library uses it, else empty.
    QString usedUserFolder();
    const QStringList& everyName();

    MediaLibrary* library_ = nullptr;
    QString folder_;
    QString userFolder_;  // the user's folder as last read, empty when left out
    QString pattern_ = kEveryFile;
    FolderListing listing_;
    FolderListing userListing_;
    // Both folders' names, as last put together, and which of them are the
    // user's; put together again only when a folder was read anew.
    QStringList union_;
    QSet<QString> unionUsers_;
    std::uint64_t unionOf_[2] = {0, 0};  // the folders' readings it was made from
    QStringList names_;
    int selected_ = -1;
};

}  // namespace quillo
