#pragma once

#include "platform/files/folder_listing.h"
#include "platform/files/wildcard.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillo {

// The hidden list of picture file names: the files of one folder that match a
// wildcard pattern, sorted, with one selected entry (-1 when none). A second
// folder, the user's own, may join it: the list is then the union of both,
// sorted together, each word once (see mergePictures).
class PictureList {
public:
    // Binds the list to a folder and reads it. Throws Failure when the folder
    // does not exist. Leaves no entry selected.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }

    // The user's folder, read beside the bound one at every re-read. It need
    // not exist; one that cannot be listed is said once and left out (see
    // usableOrSaid). Empty: none. Leaves no entry selected.
    void setUserFolder(const QString& folder);
    const QString& userFolder() const { return userFolder_; }

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
    bool foldersChanged() const;
    const QStringList& everyName();

    QString folder_;
    QString userFolder_;
    QString pattern_ = kEveryFile;
    FolderListing listing_;
    FolderListing userListing_;
    // Both folders' names, as last put together, and which of them are the
    // user's; put together again only when a folder was read anew.
    QStringList union_;
    QSet<QString> unionUsers_;
    bool userUsable_ = false;
    std::uint64_t unionOf_[2] = {0, 0};  // the folders' readings it was made from
    QStringList names_;
    int selected_ = -1;
};

}  // namespace quillo
