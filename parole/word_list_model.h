#pragma once

#include "word_library.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

namespace quillo::parole {

// The words of both libraries for the window's list: the word with its
// picture, and whose picture and whose voice it has.
class WordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { WordColumn, PictureColumn, RecordingColumn, ColumnCount };
    static constexpr int kEntryRole = Qt::UserRole;  // the row's index into entries()

    explicit WordListModel(MediaLibrary libraries, QObject* parent = nullptr);

    // Reads both libraries again.
    void reload();
    const QList<WordEntry>& entries() const { return entries_; }
    // The row of a word, letter case aside; -1 when it is not listed.
    int rowOf(const QString& word) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static constexpr int kThumbnailSide = 48;

private:
    MediaLibrary libraries_;
    QList<WordEntry> entries_;
    mutable QHash<QString, QIcon> thumbnails_;  // by picture path, read as the list shows them
};

}  // namespace quillo::parole
