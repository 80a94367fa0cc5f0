#pragma once

#include "platform/files/folder_listing.h"
#include "platform/files/wildcard.h"

#include <QString>
#include <QStringList>

namespace quillo {

// The hidden list of picture file names: the files of one folder that match a
// wildcard pattern, sorted, with one selected entry (-1 when none).
class PictureList {
public:
    // Binds the list to a folder and reads it. Throws Failure when the folder
    // does not exist. Leaves no entry selected.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }

    // A different pattern re-reads the folder and clears the selection; the
    // pattern already held changes nothing.
    void setPattern(const QString& pattern);
    const QString& pattern() const { return pattern_; }

    int count() const { return static_cast<int>(names_.size()); }
    int selectedIndex() const { return selected_; }
    // Selects an entry; -1 selects none. Throws Failure outside 0..count-1.
    void setSelectedIndex(int index);
    // The selected entry's name, empty when none is selected.
    QString fileName() const;
    const QStringList& names() const { return names_; }

private:
    void reread();

    QString folder_;
    QString pattern_ = kEveryFile;
    FolderListing listing_;
    QStringList names_;
    int selected_ = -1;
};

}  // namespace quillo
